// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lasting/lastingrecord.h"
#include "platform/wallpaper/wallpaper.h"

namespace velumbra {

// Keeps the two lifetimes apart on desktops that know only one.
//
// Where the desktop stores every setting for good, a change meant to last
// until logoff first records what the desktop stored before, and the restore
// step puts it back at the end of the session or at the next login. Where
// every setting ends with the session, a wallpaper set for good is recorded
// and shown again at each login. The record is written before the desktop
// changes, so a crash in between loses nothing.
class LastingWallpaperSetter final : public WallpaperSetter
{
public:
    LastingWallpaperSetter(WallpaperSetter &desktop, LastingStore &store,
                           AutostartEntry &autostart);

    [[nodiscard]] std::string name() const override { return m_desktop.name(); }
    [[nodiscard]] Result<> setWallpaper(const std::string &path,
                                        WallpaperLifetime lifetime) override;
    [[nodiscard]] Result<> disableScreenSaver() override;
    [[nodiscard]] LifetimeSupport lifetimeSupport(LastingSetting what) const override
    {
        return m_desktop.lifetimeSupport(what);
    }
    [[nodiscard]] Result<std::string> readLasting(LastingSetting what) override
    {
        return m_desktop.readLasting(what);
    }
    [[nodiscard]] Result<> restoreLasting(LastingSetting what, const std::string &state) override
    {
        return m_desktop.restoreLasting(what, state);
    }

    // At login: puts back what the last session changed until logoff, shows
    // the wallpaper set for good on desktops that forget it, and clears what
    // is done. Entries of other desktops wait for a login into theirs.
    [[nodiscard]] Result<> restoreAtLogin();

    // At the end of the session: puts back what was changed until logoff;
    // what fails is left for the next login.
    [[nodiscard]] Result<> restoreAtSessionEnd();

    // The name of the record's entry for @p what on this desktop.
    [[nodiscard]] std::string entryName(LastingSetting what) const;
    [[nodiscard]] std::string lastingWallpaperEntry() const;

private:
    [[nodiscard]] Result<> changeUntilLogoff(LastingSetting what, const std::string &path);
    [[nodiscard]] Result<> restore(bool atLogin);
    [[nodiscard]] Result<> saveAndSync(const LastingRecord &record);

    WallpaperSetter &m_desktop;
    LastingStore &m_store;
    AutostartEntry &m_autostart;
};

} // namespace velumbra
