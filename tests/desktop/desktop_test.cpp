// SPDX-License-Identifier: GPL-3.0-or-later
// Compiled into every desktop test program: the programs it needs (REQUIRED,
// given by CMake) and, for an X desktop (DESKTOP), the contract against its
// real session, so that a desktop is a row of CMakeLists.txt.

#include "tests/desktop/session.h"

#include <gtest/gtest.h>

QStringList desktoptest::requiredPrograms()
{
    return QStringLiteral(REQUIRED).split(u',');
}

#ifdef DESKTOP
TEST(Desktop, KeepsTheContract)
{
    QTemporaryDir root;
    desktoptest::XDesktop desktop(desktoptest::xSession(QStringLiteral(DESKTOP)));
    desktoptest::runContract(desktop, root.path());
}
#endif
