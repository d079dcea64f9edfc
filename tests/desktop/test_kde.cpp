// KDE Plasma: the real plasmashell on Xvfb, on a private session bus that
// activates its services, as a Plasma session starts it; its
// plasma-org.kde.plasma.desktop-appletsrc read back. Plasma keeps every
// picture for good by itself: until logoff rests on velumbra-restore.

#include "tests/desktop/session.h"

#include <gtest/gtest.h>

QStringList desktoptest::requiredPrograms()
{
    return {QStringLiteral("Xvfb"), QStringLiteral("dbus-daemon"), QStringLiteral("dbus-send"),
            QStringLiteral("plasmashell")};
}

TEST(Plasma, KeepsTheContract)
{
    QTemporaryDir root;
    desktoptest::XDesktop plasma(desktoptest::xSession(QStringLiteral("kde")));
    desktoptest::runContract(plasma, root.path());
}
