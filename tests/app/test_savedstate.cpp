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
}

// The eight keys that the next start reads (the window's restore test writes
// them by these names), marker first and in order; no button checked is
// written as the rotation, in hours.
TEST(SavedState, WritesTheEightKeysInOrder)
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
    }
}

} // namespace
