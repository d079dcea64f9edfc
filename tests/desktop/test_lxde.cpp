// SPDX-License-Identifier: GPL-3.0-or-later
// LXDE: the real pcmanfm --desktop on Xvfb, as an LXDE session starts it;
// its settings file read back as a GLib key file, as pcmanfm reads it.

#include "tests/desktop/session.h"

#include <gtest/gtest.h>

using namespace desktoptest;

QStringList desktoptest::requiredPrograms()
{
    return {u"Xvfb"_s, u"dbus-daemon"_s, u"pcmanfm"_s};
}

TEST(Lxde, KeepsTheContract)
{
    QTemporaryDir root;
    XDesktop lxde(xSession(u"lxde"_s));
    runContract(lxde, root.path());
}
