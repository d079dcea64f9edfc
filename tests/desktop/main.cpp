// The main of the desktop tests: a test whose desktop component is not
// installed says so and counts as skipped. Kept out of support.cpp so that a
// program with a main of its own can link the support library.
#include "tests/desktop/support.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (const QString &program : wallpapertest::requiredPrograms()) {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            std::printf("SKIPPED: %s is not installed (scripts/test installs it)\n",
                        qPrintable(program));
            return wallpapertest::kSkipCode;
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
