// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velumbra {

struct AboutServices;
class Clock;
class Prompter;
class RandomSource;
class Screen;
class SettingsStore;
class TrayIcon;
class WallpaperSetter;

/// The operating system's services the window works with; tests hand in fakes.
struct AppContext
{
    SettingsStore &settings;
    Clock &clock;
    RandomSource &random;
    Screen &screen;
    Prompter &prompter;
    WallpaperSetter &wallpaper;
    TrayIcon &tray;
    AboutServices &about;
};

} // namespace velumbra
