#include "browser/folderreader.h"

#include "browser/core/folderproblem.h"
#include "browser/core/paths.h"
#include "browser/u16view.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <vector>

namespace velumbra {
namespace {

QStringList sortedNames(const QString &folder, QDir::Filters filters, const NamePattern *pattern)
{
    struct Entry
    {
        std::u16string key;
        QString name;
    };
    std::vector<Entry> entries;
    // Hidden is left out of the filters: dot files and hidden-attribute files
    // never show. QDirIterator avoids the double pass and the slow locale
    // sort of QDir::entryList.
    QDirIterator it(folder, filters | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        QString name = it.fileName();
        std::u16string key = foldName(u16view(name));
        if (pattern && !pattern->matchesFolded(key))
            continue;
        entries.push_back({std::move(key), std::move(name)});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        if (a.key != b.key)
            return a.key < b.key;
        return u16view(a.name) < u16view(b.name);
    });
    QStringList names;
    names.reserve(qsizetype(entries.size()));
    for (Entry &e : entries)
        names.push_back(std::move(e.name));
    return names;
}

} // namespace

namespace {

std::optional<FolderProblem> folderProblem(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.exists()) {
        const QString native = QDir::toNativeSeparators(info.absoluteFilePath());
        const std::string root = rootOf(native.toStdString(), QDir::separator().toLatin1());
        if (!root.empty() && QString::fromStdString(root) == native)
            return FolderProblem::DriveNotReady;
        return FolderProblem::Missing;
    }
    if (!info.isDir())
        return FolderProblem::NotAFolder;
    // Listing a folder needs both the right to read it and the right to enter it.
    if (!info.isReadable() || !info.isExecutable())
        return FolderProblem::NoPermission;
    return std::nullopt;
}

} // namespace

Result<> checkFolder(const QString &folder)
{
    if (const std::optional<FolderProblem> problem = folderProblem(folder))
        return Failure{folderProblemMessage(folder.toStdString(), *problem)};
    return Result<>::success();
}

QStringList listFiles(const QString &folder, const NamePattern &pattern)
{
    return sortedNames(folder, QDir::Files, &pattern);
}

QStringList listSubfolders(const QString &folder)
{
    return sortedNames(folder, QDir::Dirs, nullptr);
}

QString normalizedFolder(const QString &folder)
{
    QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    return QDir::toNativeSeparators(clean);
}

} // namespace velumbra
