#include "filestore.h"

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

bool writeWhole(const std::string &path, const std::string &text, std::string &why)
{
    const QString file = qs(path);
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        why = "Le dossier de « " + path + " » ne peut pas être créé.";
        return false;
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(text.data(), qint64(text.size())) != qint64(text.size()) || !out.commit()) {
        why = "Le fichier « " + path + " » ne peut pas être écrit (" +
              out.errorString().toStdString() + ").";
        return false;
    }
    return true;
}

bool removeFile(const std::string &path, std::string &why)
{
    QFile file(qs(path));
    if (!file.exists() || file.remove())
        return true;
    why = "Le fichier « " + path + " » ne peut pas être supprimé (" +
          file.errorString().toStdString() + ").";
    return false;
}

} // namespace

std::optional<LastingRecord> FileLastingStore::load(std::string &why)
{
    QFile file(qs(m_path));
    if (!file.exists())
        return LastingRecord{};
    if (!file.open(QIODevice::ReadOnly)) {
        why = "Le fichier « " + m_path + " » ne peut pas être lu (" +
              file.errorString().toStdString() + ").";
        return std::nullopt;
    }
    const QByteArray text = file.readAll();
    auto record = parseLastingRecord(text.toStdString());
    if (!record)
        why = "Le fichier « " + m_path + " » n'est pas un relevé de Velumbra.";
    return record;
}

bool FileLastingStore::save(const LastingRecord &record, std::string &why)
{
    if (record.empty())
        return removeFile(m_path, why);
    return writeWhole(m_path, formatLastingRecord(record), why);
}

bool XdgAutostartEntry::installed() const
{
    return QFileInfo::exists(qs(m_path));
}

bool XdgAutostartEntry::install(std::string &why)
{
    return writeWhole(m_path, autostartEntryText(m_program), why);
}

bool XdgAutostartEntry::remove(std::string &why)
{
    return removeFile(m_path, why);
}

} // namespace velumbra
