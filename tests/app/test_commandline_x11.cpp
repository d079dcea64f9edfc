// SPDX-License-Identifier: GPL-3.0-or-later
// The built program's command line on a real X server with the root-window
// backend, its pixels read back: one start per row, in order, each leaving
// the root as the next row expects it.

#include "tests/desktop/session.h"

#include <gtest/gtest.h>

using namespace desktoptest;

QStringList desktoptest::requiredPrograms()
{
    return {QStringLiteral("Xvfb")};
}

namespace {

// output: found in standard output, or in standard error when exitCode != 0;
// root: shown afterwards; owed: the record and the autostart entry exist afterwards.
// clang-format off
struct Start { const char *name; QStringList args; int exitCode; const char *output;
               const Quadrants *root; bool owed; bool display = true; };
// clang-format on

TEST(CommandLine, SetsTheRootAndSaysWhy)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const auto &[name, colours] : {std::pair{"a.png", kPictureA}, {"b é.png", kPictureB}})
        ASSERT_TRUE(writeQuadrants(dir.filePath(QString::fromUtf8(name)), colours, {320, 240}));
    Xvfb x;
    ASSERT_TRUE(x.running());
    QStringList env = userEnvironment(dir.filePath(QStringLiteral("user")), x.display());
    env << QStringLiteral("-XDG_CURRENT_DESKTOP") << QStringLiteral("-WAYLAND_DISPLAY")
        << QStringLiteral("-SWAYSOCK") << QStringLiteral("-QT_QPA_PLATFORM");

    const QString a = dir.filePath(QStringLiteral("a.png"));
    // clang-format off
    const Start starts[] = {
        {"until logoff", {"--temporaire", a}, 0, "", &kPictureA, false},
        // The X root forgets at logoff: for good is recorded for the next login.
        {"for good, relative", {"--par-defaut", "b é.png"}, 0, "", &kPictureB, true},
        {"missing file", {"--temporaire", "absent.png"}, 1, "n'a pas pu être changé", &kPictureB, true},
        {"bad usage, in French", {"--inconnue"}, 2, "Option inconnue", &kPictureB, true},
        {"help", {"--help"}, 0, "Utilisation", &kPictureB, true},
        {"version", {"--version"}, 0, "Velumbra " VELUMBRA_VERSION, &kPictureB, true},
        {"no display, setting", {"--temporaire", "a.png"}, 1, "aucun affichage", &kPictureB, true, false},
        {"no display, window", {}, 1, "aucun affichage", &kPictureB, true, false},
    };
    // clang-format on
    for (const Start &s : starts) {
        SCOPED_TRACE(s.name);
        QProcess program;
        program.setProcessEnvironment(
            environment(s.display ? env : env + QStringList{QStringLiteral("-DISPLAY")}));
        program.setWorkingDirectory(dir.path());
        program.start(QStringLiteral(VELUMBRA_PROGRAM), s.args);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), s.exitCode);
        const QString output = QString::fromUtf8(s.exitCode == 0 ? program.readAllStandardOutput()
                                                                 : program.readAllStandardError());
        EXPECT_TRUE(output.contains(QString::fromUtf8(s.output))) << output.toStdString();
        EXPECT_TRUE(rootShows(x.display(), *s.root));
        EXPECT_EQ(owed(dir.filePath(QStringLiteral("user"))), s.owed);
    }
}

} // namespace
