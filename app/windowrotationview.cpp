// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/windowrotationview.h"

#include "browser/core/paths.h"
#include "browser/filelist.h"
#include "browser/folderlist.h"
#include "browser/folderreader.h"
#include "platform/wallpaper/wallpaper.h"

#include <QCoreApplication>
#include <QDir>

namespace velumbra {

WindowRotationView::WindowRotationView(const FileList &files, const FolderList &folders,
                                       WallpaperSetter &wallpaper, Window window)
    : m_files(files), m_folders(folders), m_wallpaper(wallpaper), m_window(std::move(window))
{
}

std::int64_t WindowRotationView::fileCount() const
{
    return m_files.count();
}

std::string WindowRotationView::filePath(std::int64_t index) const
{
    return joinPath(fileSystemPath(m_folders.path()), fileSystemPath(m_files.entry(int(index))),
                    QDir::separator().toLatin1());
}

void WindowRotationView::processPendingEvents()
{
    QCoreApplication::processEvents();
}

bool WindowRotationView::isEnding() const
{
    return m_window.isEnding();
}

void WindowRotationView::showCurrentFile(const std::string &path)
{
    m_window.showCurrentFile(fromFileSystem(path));
}

void WindowRotationView::setWallpaperUntilLogoff(const std::string &path)
{
    // A refused change goes unnoticed: the next one is due all the same.
    (void)m_wallpaper.setWallpaper(path, WallpaperLifetime::UntilLogoff);
}

} // namespace velumbra
