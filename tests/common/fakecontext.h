#pragma once

#include "appcontext.h"
#include "fakeclock.h"
#include "fakeprompter.h"
#include "fakescreen.h"
#include "fakesettings.h"
#include "faketray.h"
#include "fakewallpaper.h"

namespace velumbra {

/// Every service of the window, faked, ready to hand to FrmVLB.
struct FakeContext
{
    FakeSettingsStore settings;
    FakeClock clock;
    ScriptedRandom random;
    FakeScreen screen;
    FakePrompter prompter;
    FakeWallpaperSetter wallpaper;
    FakeTrayIcon tray;

    AppContext context() { return AppContext{settings, clock, random, screen, prompter, wallpaper, tray}; }
};

} // namespace velumbra
