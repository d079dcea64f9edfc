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
    struct Case
    {
        const char *program;
        const char *exec; // nothing: refused
    };
    const Case cases[] = {
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
    for (const Case &c : cases) {
        const Result<std::string> exec = desktopEntryExec(c.program);
        EXPECT_EQ(exec.ok(), c.exec != nullptr) << c.program;
        if (c.exec)
            EXPECT_EQ(*exec, c.exec) << c.program;
        else
            EXPECT_FALSE(autostartEntryText(c.program).ok()) << c.program;
    }
    EXPECT_NE(autostartEntryText("/x/velumbra-restore")->find("\nExec=/x/velumbra-restore\n"),
              std::string::npos);
    // A plain path, not Exec's quoting: TryExec names one file.
    EXPECT_NE(autostartEntryText("/x/a b\\c")->find("\nTryExec=/x/a b\\\\c\n"), std::string::npos);
}

TEST(LastingPlaces, FollowTheXdgVariables)
{
    struct Case
    {
        const char *state;
        const char *config;
        LastingPaths expected;
    };
    const Case cases[] = {
        {"",
         "",
         {"/home/u/.local/state/velumbra/lasting",
          "/home/u/.config/autostart/velumbra-restore.desktop"}},
        {"/s", "/c", {"/s/velumbra/lasting", "/c/autostart/velumbra-restore.desktop"}},
        {"relative",
         "rel",
         {"/home/u/.local/state/velumbra/lasting",
          "/home/u/.config/autostart/velumbra-restore.desktop"}},
    };
    for (const Case &c : cases) {
        const LastingPaths got = lastingPaths("/home/u", c.state, c.config);
        EXPECT_EQ(got.recordFile, c.expected.recordFile) << c.state;
        EXPECT_EQ(got.autostartFile, c.expected.autostartFile) << c.config;
    }
}

} // namespace
