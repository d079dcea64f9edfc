// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/folderreader.h"

#include "browser/core/folderproblem.h"
#include "browser/core/paths.h"
#include "browser/u16view.h"
#include "platform/folders.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace velumbra {
namespace {

QString textOf(std::u16string_view name)
{
    return QString(reinterpret_cast<const QChar *>(name.data()), qsizetype(name.size()));
}

void sortIgnoringCase(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return lessIgnoringCase(u16view(a), u16view(b));
    });
}

/// Reads @p folder once: the files @p pattern matches (none without one) and,
/// if asked, the subfolders, each turned into text only once kept.
Result<FolderContents> read(const QString &folder, const NamePattern *pattern, bool subfolders)
{
    FolderContents contents;
    const Result<> reading =
        readFolder(fileSystemPath(folder), [&](EntryKind kind, std::u16string_view name) {
            if (kind == EntryKind::Subfolder) {
                if (subfolders)
                    contents.subfolders.push_back(textOf(name));
            } else if (pattern && pattern->matches(name)) {
                contents.files.push_back(textOf(name));
            }
        });
    if (!reading)
        return Failure{reading.reason()};
    sortIgnoringCase(contents.files);
    sortIgnoringCase(contents.subfolders);
    return contents;
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
    return read(folder, &pattern, true);
}

QStringList listFiles(const QString &folder, const NamePattern &pattern)
{
    Result<FolderContents> contents = read(folder, &pattern, false);
    return contents ? std::move(contents->files) : QStringList();
}

QStringList listSubfolders(const QString &folder)
{
    Result<FolderContents> contents = read(folder, nullptr, true);
    return contents ? std::move(contents->subfolders) : QStringList();
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
    return textOf(textOfFileName(bytes));
}

QString shownText(const QString &name)
{
    if (!holdsForeignBytes(u16view(name)))
        return name;
    return textOf(shownName(u16view(name)));
}

} // namespace velumbra
