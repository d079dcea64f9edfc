// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/core/savedstate.h"
#include "platform/fakes/fakesettings.h"

#include <gtest/gtest.h>

namespace {

using namespace velumbra;

TEST(StoredChoice, RoundsHalvesToEvenAndRejectsOtherIndexes)
{
    // clang-format off
    const std::pair<const char *, std::optional<int>> cases[] = {
        {"0", 0}, {"2", 2}, {"1.5", 2}, {"2.5", 2}, {"0.5", 0}, {"abc", 0}, {"", 0}, {" 1", 1},
        {"-0.4", 0}, {"3", std::nullopt}, {"&H2", 2}, {"1x", 1}, {"-1", std::nullopt},
        {"2.6", std::nullopt}, {"1E400", std::nullopt}};
    // clang-format on
    for (const auto &[text, index] : cases)
        EXPECT_EQ(storedChoice(text), index) << text;
}

TEST(SavedState, RestoresOnlyUnderTheExactMarker)
{
    FakeSettingsStore store;
    for (const char *marker :
         {"ardeval quennet", "Ardeval Quennet ", " Ardeval Quennet", "Ardeval  Quennet", ""}) {
        store.values = {{"Init/AUTEUR", marker}, {"Init/Folder", "/tmp"}};
        EXPECT_FALSE(readSavedState(store)) << '"' << marker << '"';
    }
    // Absent keys under the marker read empty, and as the first button.
    store.values = {{"Init/AUTEUR", std::string(kSettingsMarker)}};
    const auto absent = readSavedState(store);
    ASSERT_TRUE(absent);
    EXPECT_EQ(absent->drive + absent->pattern + absent->time +
                  std::to_string(absent->option.value_or(-1)) +
                  std::to_string(absent->unites.value_or(-1)),
              "00");
}

// What was written is what the next start restores, marker first and in
// order; no button checked is written as the rotation, in hours.
TEST(SavedState, WritesTheEightKeysThatTheNextStartReads)
{
    for (const int index : {0, 1, 2, -1}) {
        FakeSettingsStore store;
        writeWindowState(store, {"/", "/home", "*.bmp;*.rle", "x.bmp", index, "7", index});
        ASSERT_TRUE(store.commit().ok());
        const std::string stored = index < 0 ? "2" : std::to_string(index);
        // clang-format off
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"Init/AUTEUR", std::string(kSettingsMarker)}, {"Init/Drive", "/"},
            {"Init/Folder", "/home"}, {"Init/Pattern", "*.bmp;*.rle"}, {"Init/FileName", "x.bmp"},
            {"Init/Option", stored}, {"Init/Time", "7"}, {"Init/Unites", stored}};
        // clang-format on
        EXPECT_EQ(store.committed, expected);
        const auto back = readSavedState(store);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->drive + back->folder + back->pattern + back->fileName + back->time +
                      std::to_string(back->option.value_or(-1)) +
                      std::to_string(back->unites.value_or(-1)),
                  "//home*.bmp;*.rlex.bmp7" + stored + stored);
    }
}

} // namespace
