// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qtsettingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace velumbra {
namespace {

QSettings openSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Velumbra"),
                     QStringLiteral("Velumbra"));
}

#ifdef Q_OS_UNIX
// Where QSettings keeps the file, found without QSettings, which would open it.
QString settingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Velumbra/Velumbra.conf");
}
#endif

// A pipe, a device or a folder in the file's place would keep QSettings
// waiting for ever or fail every save: it counts as no settings, and is set
// aside at the next save.
bool usableOrAbsent()
{
#ifdef Q_OS_UNIX
    const QFileInfo info(settingsFile());
    return info.isFile() || (!info.exists() && !info.isSymLink());
#else
    return true;
#endif
}

void setAside(const QString &file)
{
    const QString aside = file + QStringLiteral(".bak");
    QFile::remove(aside);
    QFile::rename(file, aside);
}

QString qKey(std::string_view section, std::string_view key)
{
    return QString::fromUtf8(section.data(), qsizetype(section.size())) + QLatin1Char('/') +
           QString::fromUtf8(key.data(), qsizetype(key.size()));
}

std::string frenchErrno(int err)
{
    switch (err) {
    case EACCES:
    case EPERM:
        return "permission refusée";
    case EROFS:
        return "le système de fichiers est en lecture seule";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return "le disque est plein";
    case ENOENT:
        return "le dossier n'existe pas";
    case ENOTDIR:
        return "un élément du chemin n'est pas un dossier";
    case EIO:
        return "erreur d'entrée-sortie";
    default:
        return std::strerror(err);
    }
}

#ifdef Q_OS_UNIX
// QSettings only says "access error"; to tell the user why, try the same kind
// of write it does (a new file beside the target) and keep the system's error.
std::string diagnoseUnixWrite(const QString &file, qint64 bytes)
{
    const QFileInfo info(file);
    const QByteArray dir = QFile::encodeName(info.absolutePath());
    if (!QDir().mkpath(info.absolutePath()))
        return frenchErrno(errno ? errno : EACCES);
    if (info.exists() && ::access(QFile::encodeName(file).constData(), W_OK) != 0)
        return errno == EACCES ? std::string("le fichier est en lecture seule")
                               : frenchErrno(errno);
    QByteArray probe = dir + "/.velumbra-probe-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return frenchErrno(errno);
    std::string reason;
    const QByteArray block(qMax<qint64>(bytes, 4096), ' ');
    if (::write(fd, block.constData(), size_t(block.size())) != block.size() || ::fsync(fd) != 0)
        reason = frenchErrno(errno ? errno : ENOSPC);
    ::close(fd);
    ::unlink(probe.constData());
    return reason.empty() ? std::string("erreur d'écriture") : reason;
}
#endif

} // namespace

QtSettingsStore::QtSettingsStore() = default;

std::string QtSettingsStore::read(std::string_view section, std::string_view key) const
{
    if (!usableOrAbsent())
        return {};
    const QVariant v = openSettings().value(qKey(section, key));
    // A hand-edited value with an unquoted comma comes back as a list.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(',')).toStdString();
    if (v.metaType().id() == QMetaType::QByteArray)
        return v.toByteArray().toStdString();
    if (!v.canConvert<QString>())
        return {};
    return v.toString().toStdString();
}

void QtSettingsStore::write(std::string_view section, std::string_view key, std::string_view value)
{
    std::string k = qKey(section, key).toStdString();
    if (m_pending.find(k) == m_pending.end())
        m_order.push_back(k);
    m_pending[k] = std::string(value);
}

Result<> QtSettingsStore::commit()
{
#ifdef Q_OS_UNIX
    if (!usableOrAbsent())
        setAside(settingsFile());
#endif
    {
        // QSettings never writes over a file it cannot parse, so a damaged
        // file would block every later save: set it aside, whole, and start anew.
        QSettings probe = openSettings();
        (void)probe.childGroups();
        if (probe.status() == QSettings::FormatError)
            setAside(probe.fileName());
    }
    QSettings s = openSettings();
    qint64 bytes = 0;
    for (const std::string &k : m_order) {
        const std::string &v = m_pending[k];
        s.setValue(QString::fromStdString(k), QString::fromStdString(v));
        bytes += qint64(k.size() + v.size()) + 2;
    }
    m_pending.clear();
    m_order.clear();
    s.sync();
    if (s.status() == QSettings::NoError)
        return Result<>::success();

    std::string reason = "erreur d'écriture";
#ifdef Q_OS_UNIX
    reason = diagnoseUnixWrite(s.fileName(), bytes);
#endif
    return settingsNotSaved(s.fileName().toStdString(), reason);
}

} // namespace velumbra
