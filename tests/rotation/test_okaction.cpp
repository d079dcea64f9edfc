#include "rotation/okaction.h"

#include <gtest/gtest.h>

namespace {

using namespace velumbra;

// By the stored index, so that a mode mapped to the wrong button shows too.
struct OkCase
{
    int index;
    bool hasCurrentFile;
    bool interval;
    bool startsRotation;
    std::optional<WallpaperLifetime> setFor;
    bool quits;
};

const OkCase kOkCases[] = {
    {0, true, false, false, WallpaperLifetime::UntilLogoff, true},
    {1, true, false, false, WallpaperLifetime::ForGood, true},
    // An empty path would take the wallpaper away: nothing is set, OK still quits.
    {0, false, false, false, std::nullopt, true},
    {1, false, false, false, std::nullopt, true},
    {2, true, true, true, std::nullopt, false},
};

class OkAction : public testing::TestWithParam<OkCase>
{
};

TEST_P(OkAction, FollowsTheStoredMode)
{
    const OkCase &c = GetParam();
    const std::optional<Mode> mode = modeAt(c.index);
    ASSERT_TRUE(mode);
    EXPECT_EQ(hasInterval(*mode), c.interval);
    const OkDecision d = decideOk(*mode, c.hasCurrentFile);
    EXPECT_EQ(d.startsRotation, c.startsRotation);
    EXPECT_EQ(d.setFor, c.setFor);
    EXPECT_EQ(d.quits, c.quits);
}

INSTANTIATE_TEST_SUITE_P(Table, OkAction, testing::ValuesIn(kOkCases));

TEST(OkAction, NoModeOutsideTheThreeButtons)
{
    EXPECT_FALSE(modeAt(-1)); // no button checked
    EXPECT_FALSE(modeAt(3));
}

struct StartCase
{
    bool rightButton;
    bool trayAvailable;
    WindowPlace window;
    bool trayIcon;
};

const StartCase kStartCases[] = {
    {false, true, WindowPlace::InTray, true},
    // Hidden with no notification area, the window could never be reached again.
    {false, false, WindowPlace::Minimised, true},
    {true, true, WindowPlace::OnScreen, false},
    {true, false, WindowPlace::OnScreen, false},
};

class RotationStart : public testing::TestWithParam<StartCase>
{
};

TEST_P(RotationStart, PlacesTheWindowAndTheIcon)
{
    const StartCase &c = GetParam();
    const AfterRotationStart after = afterRotationStart(c.rightButton, c.trayAvailable);
    EXPECT_EQ(after.window, c.window);
    EXPECT_EQ(after.trayIcon, c.trayIcon);
}

INSTANTIATE_TEST_SUITE_P(Table, RotationStart, testing::ValuesIn(kStartCases));

} // namespace
