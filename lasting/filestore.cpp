#include "lasting/filestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace velumbra {
namespace {

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

Result<> writeWhole(const std::string &path, const std::string &text)
{
    const QString file = qs(path);
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return Failure{"Le dossier de « " + path + " » ne peut pas être créé."};
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(text.data(), qint64(text.size())) != qint64(text.size()) || !out.commit()) {
        return Failure{"Le fichier « " + path + " » ne peut pas être écrit (" +
                       out.errorString().toStdString() + ")."};
    }
    return Result<>::success();
}

Result<> removeFile(const std::string &path)
{
    QFile file(qs(path));
    if (!file.exists() || file.remove())
        return Result<>::success();
    return Failure{"Le fichier « " + path + " » ne peut pas être supprimé (" +
                   file.errorString().toStdString() + ")."};
}

} // namespace

Result<LastingRecord> FileLastingStore::load()
{
    QFile file(qs(m_path));
    if (!file.exists())
        return LastingRecord{};
    if (!file.open(QIODevice::ReadOnly)) {
        return Failure{"Le fichier « " + m_path + " » ne peut pas être lu (" +
                       file.errorString().toStdString() + ")."};
    }
    const QByteArray text = file.readAll();
    auto record = parseLastingRecord(text.toStdString());
    if (!record)
        return Failure{"Le fichier « " + m_path + " » n'est pas un relevé de Velumbra."};
    return std::move(*record);
}

Result<> FileLastingStore::save(const LastingRecord &record)
{
    if (record.empty())
        return removeFile(m_path);
    return writeWhole(m_path, formatLastingRecord(record));
}

bool XdgAutostartEntry::installed() const
{
    return QFileInfo::exists(qs(m_path));
}

bool XdgAutostartEntry::current() const
{
    QFile file(qs(m_path));
    return file.open(QIODevice::ReadOnly) &&
           file.readAll().toStdString() == autostartEntryText(m_program);
}

Result<> XdgAutostartEntry::install()
{
    return writeWhole(m_path, autostartEntryText(m_program));
}

Result<> XdgAutostartEntry::remove()
{
    return removeFile(m_path);
}

} // namespace velumbra
