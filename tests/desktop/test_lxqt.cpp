// SPDX-License-Identifier: GPL-3.0-or-later
// LXQt: the real pcmanfm-qt --desktop on Xvfb, as an LXQt session starts it;
// its settings file read back with QSettings, as pcmanfm-qt reads it.

#include "platform/wallpaper/lxqt.h"
#include "tests/desktop/session.h"

#include <gtest/gtest.h>

using namespace desktoptest;

namespace {

// pcmanfm-qt is built with Qt 5, which reads its file as Latin-1: what
// Velumbra writes while the desktop is stopped must be escaped as Qt 5 does.
// The expected lines are pcmanfm-qt's own.
TEST(Lxqt, WritesValuesAsQt5Does)
{
    const std::pair<const char *, const char *> cases[] = {
        {"/d/sp ace;'q\"\xc3\xa9.png", "\"/d/sp ace;'q\\\"\\xe9.png\""},
        {"/d/a,b \xe6\x97\xa5\xe6\x9c\xac.png", "\"/d/a,b \\x65e5\\x672c.png\""},
        {"/d/back\\slash $x %41.png", "/d/back\\\\slash $x %41.png"},
        // A hex digit after an escape would join it.
        {"/d/\xc3\xa9"
         "a.png",
         "/d/\\xe9\\x61.png"},
    };
    for (const auto &[value, line] : cases)
        EXPECT_EQ(velumbra::qt5IniValue(value), line) << value;
}

} // namespace
