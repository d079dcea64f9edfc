// SPDX-License-Identifier: GPL-3.0-or-later
// The main of the desktop tests: a test whose desktop component is not
// installed says so and counts as skipped. Kept out of session.cpp so that a
// program with a main of its own can link the library.
#include "tests/desktop/session.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (const QString &program : desktoptest::requiredPrograms()) {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            std::printf("SKIPPED: %s is not installed (scripts/test installs it)\n",
                        qPrintable(program));
            return 77; // ctest's SKIP_RETURN_CODE
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
