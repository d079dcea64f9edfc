#include "app/core/savedstate.h"
#include "platform/fakes/fakesettings.h"

#include <gtest/gtest.h>

namespace {

using namespace velumbra;

TEST(StoredChoice, RoundsHalvesToEvenAndRejectsOtherIndexes)
{
    const std::pair<const char *, std::optional<int>> cases[] = {{"0", 0},
                                                                 {"2", 2},
                                                                 {"1.5", 2},
                                                                 {"2.5", 2},
                                                                 {"0.5", 0},
                                                                 {"abc", 0},
                                                                 {"", 0},
                                                                 {" 1", 1},
                                                                 {"-0.4", 0},
                                                                 {"3", std::nullopt},
                                                                 {"&H2", 2},
                                                                 {"1x", 1},
                                                                 {"-1", std::nullopt},
                                                                 {"2.6", std::nullopt},
                                                                 {"1E400", std::nullopt}};
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
    EXPECT_EQ(absent->drive + absent->pattern + absent->time, "");
    EXPECT_EQ(absent->option, 0);
    EXPECT_EQ(absent->unites, 0);
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
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"Init/AUTEUR", std::string(kSettingsMarker)},
            {"Init/Drive", "/"},
            {"Init/Folder", "/home"},
            {"Init/Pattern", "*.bmp;*.rle"},
            {"Init/FileName", "x.bmp"},
            {"Init/Option", stored},
            {"Init/Time", "7"},
            {"Init/Unites", stored}};
        EXPECT_EQ(store.committed, expected);
        const auto back = readSavedState(store);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->drive + back->folder + back->pattern + back->fileName + back->time,
                  "//home*.bmp;*.rlex.bmp7");
        EXPECT_EQ(back->option, std::stoi(stored));
        EXPECT_EQ(back->unites, std::stoi(stored));
    }
}

} // namespace
