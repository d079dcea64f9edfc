#pragma once

#include "aboutservices.h"
#include "appcontext.h"
#include "fakeclock.h"
#include "fakeprompter.h"
#include "fakeregistry.h"
#include "fakescreen.h"
#include "fakesettings.h"
#include "faketray.h"
#include "fakewallpaper.h"
#include "fakewebpage.h"

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
    FakeRegistry registry;
    FakeFileProbe files;
    FakeProcessStarter processes;
    FakeWebPageOpener web;
    AboutServices about{
        registry, files, processes, web, {}, "/aide/velumbra.html", "https://auteur.example/"};

    AppContext context()
    {
        return AppContext{settings, clock, random, screen, prompter, wallpaper, tray, about};
    }
};

} // namespace velumbra
