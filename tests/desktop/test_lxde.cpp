// LXDE: the real pcmanfm --desktop on Xvfb, as an LXDE session starts it;
// its settings file read back as a GLib key file, as pcmanfm reads it.

#include "tests/desktop/session.h"

#include <gtest/gtest.h>

QStringList desktoptest::requiredPrograms()
{
    return {QStringLiteral("Xvfb"), QStringLiteral("dbus-daemon"), QStringLiteral("pcmanfm")};
}

TEST(Lxde, KeepsTheContract)
{
    QTemporaryDir root;
    desktoptest::XDesktop lxde(desktoptest::xSession(QStringLiteral("lxde")));
    desktoptest::runContract(lxde, root.path());
}
