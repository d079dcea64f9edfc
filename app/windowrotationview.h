// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rotation/rotation.h"

#include <QString>

#include <functional>

namespace velumbra {

class FileList;
class FolderList;
class WallpaperSetter;

/// What the rotation drives in the main window: it draws from the file list
/// in the folder list's folder, and a change goes to the window's current
/// file and to the wallpaper.
class WindowRotationView final : public RotationView
{
public:
    struct Window
    {
        /// Makes a file the current one: preview, caption, tray tip.
        std::function<void(const QString &path)> showCurrentFile;
        /// True once the window is unloading.
        std::function<bool()> isEnding;
    };

    WindowRotationView(const FileList &files, const FolderList &folders, WallpaperSetter &wallpaper,
                       Window window);

    [[nodiscard]] std::int64_t fileCount() const override;
    [[nodiscard]] std::string filePath(std::int64_t index) const override;
    void processPendingEvents() override;
    [[nodiscard]] bool isEnding() const override;
    void showCurrentFile(const std::string &path) override;
    void setWallpaperUntilLogoff(const std::string &path) override;

private:
    const FileList &m_files;
    const FolderList &m_folders;
    WallpaperSetter &m_wallpaper;
    Window m_window;
};

} // namespace velumbra
