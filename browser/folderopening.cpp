// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/folderopening.h"

#include "browser/filelist.h"
#include "browser/folderlist.h"
#include "browser/folderreader.h"
#include "browser/u16view.h"

namespace velumbra {

Result<> openFolder(FolderList &folders, FileList &files, const QString &path,
                    const QString &pattern)
{
    const QString clean = normalizedFolder(path);
    if (Result<> readable = checkFolder(clean); !readable)
        return readable;
    Result<FolderContents> contents = readFolderContents(clean, NamePattern(u16view(pattern)));
    if (!contents)
        return Failure{contents.reason()};
    // The files first: the folder list's change of path then finds the file
    // list already there and has nothing to read.
    files.showListing(clean, pattern, std::move(contents->files));
    folders.showListing(clean, contents->subfolders);
    return Result<>::success();
}

} // namespace velumbra
