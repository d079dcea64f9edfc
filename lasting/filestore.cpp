// SPDX-License-Identifier: GPL-3.0-or-later
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

std::string tooLarge(const std::string &path)
{
    return "Le relevé « " + path + " » dépasse " + std::to_string(kLargestLastingRecord >> 20) +
           " Mo : ce n'est pas un relevé de Velumbra.";
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
    const QFileInfo info(qs(m_path));
    if (!info.exists() && !info.isSymLink())
        return LastingRecord{};
    // A pipe would be waited on for ever, a device read without end.
    if (!info.isFile())
        return Failure{"Le relevé « " + m_path + " » n'est pas un fichier ordinaire."};
    QFile file(qs(m_path));
    if (!file.open(QIODevice::ReadOnly)) {
        return Failure{"Le fichier « " + m_path + " » ne peut pas être lu (" +
                       file.errorString().toStdString() + ")."};
    }
    // Read one byte past the bound: a file that grew meanwhile is still refused.
    const QByteArray text = file.read(qint64(kLargestLastingRecord) + 1);
    if (qsizetype(text.size()) > qsizetype(kLargestLastingRecord))
        return Failure{tooLarge(m_path)};
    auto record = parseLastingRecord(text.toStdString());
    if (!record)
        return Failure{"Le fichier « " + m_path + " » n'est pas un relevé de Velumbra."};
    return std::move(*record);
}

Result<> FileLastingStore::save(const LastingRecord &record)
{
    if (record.empty())
        return removeFile(m_path);
    // What could not be read back at login is not written either.
    const std::string text = formatLastingRecord(record);
    if (text.size() > kLargestLastingRecord)
        return Failure{tooLarge(m_path)};
    return writeWhole(m_path, text);
}

bool XdgAutostartEntry::installed() const
{
    return QFileInfo::exists(qs(m_path));
}

bool XdgAutostartEntry::current() const
{
    const Result<std::string> text = autostartEntryText(m_program);
    QFile file(qs(m_path));
    return text && file.open(QIODevice::ReadOnly) && file.readAll().toStdString() == *text;
}

Result<> XdgAutostartEntry::install()
{
    const Result<std::string> text = autostartEntryText(m_program);
    if (!text)
        return Failure{text.reason()};
    return writeWhole(m_path, *text);
}

Result<> XdgAutostartEntry::remove()
{
    return removeFile(m_path);
}

} // namespace velumbra
