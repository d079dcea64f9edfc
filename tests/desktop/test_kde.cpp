// SPDX-License-Identifier: GPL-3.0-or-later
// KDE Plasma: the real plasmashell on Xvfb, on a private session bus that
// activates its services, as a Plasma session starts it; its
// plasma-org.kde.plasma.desktop-appletsrc read back. Plasma keeps every
// picture for good by itself: until logoff rests on velumbra-restore.

#include "tests/desktop/session.h"

#include <gtest/gtest.h>

using namespace desktoptest;

QStringList desktoptest::requiredPrograms()
{
    return {u"Xvfb"_s, u"dbus-daemon"_s, u"dbus-send"_s, u"plasmashell"_s};
}

TEST(Plasma, KeepsTheContract)
{
    QTemporaryDir root;
    XDesktop plasma(xSession(u"kde"_s));
    runContract(plasma, root.path());
}
