// SPDX-License-Identifier: GPL-3.0-or-later
// XFCE: a real xfconfd started by the session (so that a logoff stops it as
// XFCE's does, and it writes its files), xfdesktop on Xvfb for the pixels,
// and the keys read back with xfconf-query.

#include "tests/desktop/session.h"

#include <gtest/gtest.h>

using namespace desktoptest;

namespace {

// xfdesktop made a key per monitor and workspace it met: each gets the
// picture, a style that hides it is replaced, and other keys are left alone.
TEST(Xfce, WritesEveryMonitorAndWorkspaceAndShowsWhatWasHidden)
{
    QTemporaryDir root;
    XDesktop xfce(xSession(u"xfce"_s));
    xfce.login(root.path(), false);
    const QString a = root.filePath(u"it's \"a\".jpg"_s);
    ASSERT_TRUE(writeQuadrants(a, kPictureA));
    const auto query = [&](const char *key, const QStringList &more = {}) {
        return QString::fromUtf8(
            xfce.run(u"xfconf-query"_s, QStringList{u"-c"_s, u"xfce4-desktop"_s, u"-p"_s,
                                                    u"/backdrop/screen0/"_s + key} +
                                            more)
                .stdOut.trimmed());
    };
    const char *const rows[][4] = {
        // key, type and value before, value after
        {"monitorHDMI-1/workspace0/last-image", "string", "/old.jpg", "A"},
        {"monitorHDMI-1/workspace1/last-image", "string", "/old.jpg", "A"},
        {"monitorHDMI-1/workspace1/image-style", "int", "0", "3"},
        {"monitoreDP-1/workspace0/last-image", "string", "/old.jpg", "A"},
        {"monitoreDP-1/workspace0/last-image-old", "string", "/keep.jpg", "/keep.jpg"},
    };
    for (const auto &row : rows)
        query(row[0], {u"-n"_s, u"-t"_s, QString::fromLatin1(row[1]), u"-s"_s,
                       QString::fromLatin1(row[2])});
    const RunResult r = xfce.run(cliPath(), {u"set"_s, a});
    ASSERT_EQ(r.exitCode, 0) << r.stdErr;
    for (const auto &row : rows)
        EXPECT_EQ(query(row[0]), row[3] == std::string_view("A") ? a : row[3]) << row[0];
}

} // namespace
