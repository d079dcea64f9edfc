// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "about/aboutservices.h"
#include "app/appcontext.h"
#include "platform/fakes/fakeclock.h"
#include "platform/fakes/fakefiles.h"
#include "platform/fakes/fakeprocess.h"
#include "platform/fakes/fakeprompter.h"
#include "platform/fakes/fakeregistry.h"
#include "platform/fakes/fakescreen.h"
#include "platform/fakes/fakesettings.h"
#include "platform/fakes/faketray.h"
#include "platform/fakes/fakewallpaper.h"
#include "platform/fakes/fakewebpage.h"

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
