#include "app/core/savedstate.h"
#include "platform/fakes/fakesettings.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace velumbra;

struct ChoiceCase
{
    const char *text;
    std::optional<int> index;
};

const ChoiceCase kChoices[] = {
    {"0", 0},
    {"1", 1},
    {"2", 2},
    {"1.5", 2},
    {"2.5", 2},
    {"0.5", 0},
    {"abc", 0},
    {"", 0},
    {" 1", 1},
    {"-0.4", 0},
    {"3", std::nullopt},
    {"-1", std::nullopt},
    {"2.6", std::nullopt},
    {"1E400", std::nullopt},
    {"&H2", 2},
    {"1x", 1},
};

class StoredChoice : public testing::TestWithParam<ChoiceCase>
{
};

TEST_P(StoredChoice, RoundsHalvesToEvenAndRejectsOtherIndexes)
{
    EXPECT_EQ(storedChoice(GetParam().text), GetParam().index) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table, StoredChoice, testing::ValuesIn(kChoices));

FakeSettingsStore storeWithMarker(std::string_view marker)
{
    FakeSettingsStore s;
    s.values = {{"Init/AUTEUR", std::string(marker)},
                {"Init/Drive", "/"},
                {"Init/Folder", "/tmp"},
                {"Init/Pattern", "*.gif"},
                {"Init/FileName", "a.gif"},
                {"Init/Option", "0"},
                {"Init/Time", "7"},
                {"Init/Unites", "2"}};
    return s;
}

TEST(SavedState, RestoresOnlyUnderTheExactMarker)
{
    for (const char *marker :
         {"ardeval quennet", "Ardeval Quennet ", " Ardeval Quennet", "Ardeval  Quennet", ""})
        EXPECT_FALSE(readSavedState(storeWithMarker(marker))) << '"' << marker << '"';

    const auto s = readSavedState(storeWithMarker(kSettingsMarker));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->drive, "/");
    EXPECT_EQ(s->folder, "/tmp");
    EXPECT_EQ(s->pattern, "*.gif");
    EXPECT_EQ(s->fileName, "a.gif");
    EXPECT_EQ(s->option, 0);
    EXPECT_EQ(s->time, "7");
    EXPECT_EQ(s->unites, 2);
}

TEST(SavedState, AbsentKeysUnderTheMarkerReadEmptyAndIndexZero)
{
    FakeSettingsStore store;
    store.values = {{"Init/AUTEUR", std::string(kSettingsMarker)}};
    const auto s = readSavedState(store);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->drive, "");
    EXPECT_EQ(s->pattern, "");
    EXPECT_EQ(s->time, "");
    EXPECT_EQ(s->option, 0);
    EXPECT_EQ(s->unites, 0);
}

TEST(SavedState, WritesTheEightKeysInOrderMarkerFirst)
{
    struct
    {
        int option, unites;
        const char *storedOption, *storedUnites;
    } const cases[] = {{2, 2, "2", "2"}, {0, 0, "0", "0"}, {1, 1, "1", "1"}, {-1, -1, "2", "2"}};
    for (const auto &c : cases) {
        FakeSettingsStore store;
        WindowState w{"/", "/home", "*.bmp;*.rle", "x.bmp", c.option, "", c.unites};
        writeWindowState(store, w);
        ASSERT_TRUE(store.commit().ok());
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"Init/AUTEUR", std::string(kSettingsMarker)},
            {"Init/Drive", "/"},
            {"Init/Folder", "/home"},
            {"Init/Pattern", "*.bmp;*.rle"},
            {"Init/FileName", "x.bmp"},
            {"Init/Option", c.storedOption},
            {"Init/Time", ""},
            {"Init/Unites", c.storedUnites}};
        EXPECT_EQ(store.committed, expected);
        // What was written is what the next start restores.
        const auto back = readSavedState(store);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->option, std::stoi(c.storedOption));
        EXPECT_EQ(back->time, "");
    }
}

} // namespace
