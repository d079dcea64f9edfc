// SPDX-License-Identifier: GPL-3.0-or-later
// The record's text and the autostart entry's Exec line.

#include "lasting/lastingrecord.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace velumbra;

namespace {

TEST(LastingRecordText, RoundTripsAnyValue)
{
    const LastingRecord record{
        {"gnome.wallpaper", "org.gnome.desktop.background\n{'picture-uri': <'file:///a=b.jpg'>}"},
        {"x11.lasting-wallpaper", "/home/é/back\\slash\r\nand=equals.png"},
        {"empty", ""},
    };
    const std::string text = formatLastingRecord(record);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4) << "one line per entry";
    EXPECT_EQ(parseLastingRecord(text), record);
}

TEST(LastingRecordText, RefusesWhatIsNotARecordAndSkipsBrokenLines)
{
    EXPECT_EQ(parseLastingRecord(""), std::nullopt);
    EXPECT_EQ(parseLastingRecord("velumbra-lasting 2\na=b\n"), std::nullopt);
    EXPECT_EQ(parseLastingRecord("velumbra-lasting 1"), LastingRecord{});
    EXPECT_EQ(parseLastingRecord("velumbra-lasting 1\nno equals\n=nameless\na=b\ntrailing\\"),
              (LastingRecord{{"a", "b"}}));
}

TEST(AutostartExec, QuotesWhatTheEntryRulesReserveAndRefusesWhatNoEntryCarries)
{
    const std::pair<const char *, const char *> cases[] = {
        // the program, its Exec value (nothing: refused)
        {"/usr/bin/velumbra-restore", "/usr/bin/velumbra-restore"},
        {"/opt/Mes Programmes/velumbra-restore", "\"/opt/Mes Programmes/velumbra-restore\""},
        {"/opt/a\"b$c`d/r", "\"/opt/a\\\\\"b\\\\$c\\\\`d/r\""},
        {"/opt/back\\slash/r", "\"/opt/back\\\\\\\\slash/r\""},
        {"/opt/100%/r", "/opt/100%%/r"},
        {"/opt/l'été/r", "\"/opt/l'été/r\""},
        // Control characters and bytes that are not UTF-8 make an entry
        // that desktop-file-validate and GLib reject.
        {"/opt/a\rb/r", nullptr},
        {"/opt/a\tb/r", nullptr},
        {"/opt/a\x7f/r", nullptr},
        {"/opt/\xe9t\xe9/r", nullptr},    // Latin-1
        {"/opt/\xc0\xaf/r", nullptr},     // overlong "/"
        {"/opt/\xed\xa0\x80/r", nullptr}, // a surrogate
        {"/opt/\xf0\x9f\x98", nullptr},   // cut short
    };
    for (const auto &[program, expected] : cases) {
        const Result<std::string> exec = desktopEntryExec(program);
        EXPECT_EQ(exec.ok(), expected != nullptr) << program;
        if (expected)
            EXPECT_EQ(*exec, expected) << program;
        else
            EXPECT_FALSE(autostartEntryText(program).ok()) << program;
    }
    EXPECT_NE(autostartEntryText("/x/velumbra-restore")->find("\nExec=/x/velumbra-restore\n"),
              std::string::npos);
    // A plain path, not Exec's quoting: TryExec names one file.
    EXPECT_NE(autostartEntryText("/x/a b\\c")->find("\nTryExec=/x/a b\\\\c\n"), std::string::npos);
}

// Relative values are ignored, as the XDG rules ask.
TEST(LastingPlaces, FollowTheXdgVariables)
{
    const char *const rows[][4] = {
        // XDG_STATE_HOME, XDG_CONFIG_HOME, the folders used
        {"", "", "/home/u/.local/state", "/home/u/.config"},
        {"/s", "/c", "/s", "/c"},
        {"relative", "rel", "/home/u/.local/state", "/home/u/.config"},
    };
    for (const auto &row : rows) {
        const LastingPaths got = lastingPaths("/home/u", row[0], row[1]);
        EXPECT_EQ(got.recordFile, std::string(row[2]) + "/velumbra/lasting") << row[0];
        EXPECT_EQ(got.autostartFile, std::string(row[3]) + "/autostart/velumbra-restore.desktop")
            << row[1];
    }
}

} // namespace
