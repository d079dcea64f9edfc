#include "browser/folderreader.h"

#include "browser/core/folderproblem.h"
#include "browser/core/paths.h"
#include "browser/u16view.h"
#include "platform/folders.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace velumbra {
namespace {

/// The names of one kind from @p listing, alphabetical ignoring case.
QStringList sortedNames(const FolderListing &listing, EntryKind kind)
{
    std::vector<std::u16string_view> names;
    names.reserve(listing.size());
    for (std::size_t i = 0; i < listing.size(); ++i)
        if (listing.kind(i) == kind)
            names.push_back(listing.name(i));
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    QStringList sorted;
    sorted.reserve(qsizetype(names.size()));
    for (const std::u16string_view name : names)
        sorted.push_back(
            QString(reinterpret_cast<const QChar *>(name.data()), qsizetype(name.size())));
    return sorted;
}

Result<FolderListing> read(const QString &folder, const NamePattern *pattern, bool subfolders)
{
    return readFolder(fileSystemPath(folder), [&](EntryKind kind, std::u16string_view name) {
        if (kind == EntryKind::Subfolder)
            return subfolders;
        return pattern && pattern->matches(name);
    });
}

std::optional<FolderProblem> folderProblem(const QString &folder)
{
    // Qt's file functions cannot reach a name that is not UTF-8.
    if (holdsForeignBytes(u16view(folder)))
        return FolderProblem::NameNotText;
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
        return Failure{folderProblemMessage(shownText(folder).toStdString(), *problem)};
    return Result<>::success();
}

Result<FolderContents> readFolderContents(const QString &folder, const NamePattern &pattern)
{
    Result<FolderListing> listing = read(folder, &pattern, true);
    if (!listing)
        return Failure{listing.reason()};
    return FolderContents{sortedNames(*listing, EntryKind::File),
                          sortedNames(*listing, EntryKind::Subfolder)};
}

QStringList listFiles(const QString &folder, const NamePattern &pattern)
{
    const Result<FolderListing> listing = read(folder, &pattern, false);
    return listing ? sortedNames(*listing, EntryKind::File) : QStringList();
}

QStringList listSubfolders(const QString &folder)
{
    const Result<FolderListing> listing = read(folder, nullptr, true);
    return listing ? sortedNames(*listing, EntryKind::Subfolder) : QStringList();
}

QString normalizedFolder(const QString &folder)
{
    QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    return QDir::toNativeSeparators(clean);
}

std::string fileSystemPath(const QString &path)
{
    return fileNameOfText(u16view(path));
}

QString fromFileSystem(std::string_view bytes)
{
    const std::u16string text = textOfFileName(bytes);
    return QString(reinterpret_cast<const QChar *>(text.data()), qsizetype(text.size()));
}

QString shownText(const QString &name)
{
    if (!holdsForeignBytes(u16view(name)))
        return name;
    const std::u16string shown = shownName(u16view(name));
    return QString(reinterpret_cast<const QChar *>(shown.data()), qsizetype(shown.size()));
}

} // namespace velumbra
