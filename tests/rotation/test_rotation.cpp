// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fakes/fakeclock.h"
#include "rotation/interval.h"
#include "rotation/numberreader.h"
#include "rotation/okaction.h"
#include "rotation/rotation.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

using namespace velumbra;

constexpr double kInf = std::numeric_limits<double>::infinity();

// The interval box's reader, one rule a row.
// clang-format off
struct NumberCase { std::string text; double value; };
class ReadNumber : public testing::TestWithParam<NumberCase> {};
// clang-format on

TEST_P(ReadNumber, ReadsTheLeadingNumberNeverNaN)
{
    EXPECT_DOUBLE_EQ(readNumber(GetParam().text), GetParam().value) << GetParam().text;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, ReadNumber, testing::ValuesIn(std::vector<NumberCase>{
    {"", 0}, {"abc", 0}, {"  42", 42}, {"-5", -5}, {"+7", 7}, {"1\t2\n3", 123}, {"12abc", 12},
    {".5", 0.5}, {"2,5", 2}, {"1.2.3", 1.2}, {"1E3", 1000}, {"1e-2", 0.01}, {"2D2", 200},
    {"3E", 3}, {"3E+x", 3}, {"- 4", -4}, {"&H10", 16}, {"&hff", 255}, {"&O17", 15}, {"&o8", 0},
    {"&H", 0}, {"&X1", 0}, {"&H1G", 1}, {"-", 0}, {".", 0},
    {"1E400", kInf}, {"-1E400", -kInf}, {"1E-400", 0}, {"0.00001E-320", 0},
    {std::string(400, '9'), kInf}, {"1E99999999999999999999", kInf},
    {"&HFFFFFFFFFFFF", 281474976710655.0}, {"&H" + std::string(300, 'F'), kInf}}));
// clang-format on

// clang-format off
struct IntervalCase { const char *text; int unit; const char *shown; double seconds; };
class Interval : public testing::TestWithParam<IntervalCase> {};
// clang-format on

TEST_P(Interval, ClampsToTheUnitAndReadsBackUnchanged)
{
    const IntervalCase &c = GetParam();
    const RotationInterval r = computeInterval(c.text, c.unit);
    EXPECT_EQ(formatCount(r.count), c.shown);
    EXPECT_NEAR(r.days * 86400.0, c.seconds, 1e-9);
    // Written back into the box, the count survives the next validation.
    EXPECT_EQ(computeInterval(formatCount(r.count), c.unit).count, r.count);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Interval, testing::ValuesIn(std::vector<IntervalCase>{
    {"", 0, "1", 1}, {"abc", 1, "1", 60}, {"-5", 2, "1", 3600}, {"0.5", 0, "1", 1},
    {"90", 0, "59", 59}, {"90", 1, "59", 59 * 60}, {"30", 2, "23", 23 * 3600},
    {"2.5", 1, "2.5", 150}, {"1.25", 0, "1.25", 1.25},
    {"1 5", 1, "15", 15 * 60}, {"&H10", 1, "16", 16 * 60}, {"1E400", 2, "23", 23 * 3600},
    {"-1E400", 1, "1", 60}, {"5", -1, "5", 5 * 3600}}));
// clang-format on

// What OK does, by the stored index of the chosen button and what the window has.
// clang-format off
struct OkCase { int index; bool currentFile, rightButton, tray; bool valid, interval, rotates;
                std::optional<WallpaperLifetime> setFor; bool quits; WindowPlace place; bool icon; };
class OkAction : public testing::TestWithParam<OkCase> {};
// clang-format on

TEST_P(OkAction, Decides)
{
    const OkCase &c = GetParam();
    const std::optional<Mode> mode = modeAt(c.index);
    ASSERT_EQ(mode.has_value(), c.valid);
    if (!mode)
        return;
    EXPECT_EQ(hasInterval(*mode), c.interval);
    const OkDecision d = decideOk(*mode, c.currentFile);
    EXPECT_EQ(d.startsRotation, c.rotates);
    EXPECT_EQ(d.setFor, c.setFor);
    EXPECT_EQ(d.quits, c.quits);
    if (!c.rotates)
        return;
    const AfterRotationStart after = afterRotationStart(c.rightButton, c.tray);
    EXPECT_EQ(after.window, c.place);
    EXPECT_EQ(after.trayIcon, c.icon);
}

constexpr auto kLogoff = WallpaperLifetime::UntilLogoff;
constexpr auto kGood = WallpaperLifetime::ForGood;
constexpr auto kOn = WindowPlace::OnScreen;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, OkAction, testing::ValuesIn(std::vector<OkCase>{
    {0, true, false, true, true, false, false, kLogoff, true, kOn, true},
    {1, true, false, true, true, false, false, kGood, true, kOn, true},
    // An empty path would take the wallpaper away: nothing is set, OK still quits.
    {0, false, false, true, true, false, false, std::nullopt, true, kOn, true},
    {1, false, false, true, true, false, false, std::nullopt, true, kOn, true},
    {2, true, false, true, true, true, true, std::nullopt, false, WindowPlace::InTray, true},
    // Hidden with no notification area, the window could never be reached again.
    {2, true, false, false, true, true, true, std::nullopt, false, WindowPlace::Minimised, true},
    {2, false, true, true, true, true, true, std::nullopt, false, kOn, false},
    {2, true, true, false, true, true, true, std::nullopt, false, kOn, false},
    {-1, true, false, true, false, false, false, std::nullopt, false, kOn, false},
    {3, true, false, true, false, false, false, std::nullopt, false, kOn, false}}));
// clang-format on

constexpr double kSecond = 1.0 / 86400.0;

// The window's side of the rotation, recording what the ticks did.
// clang-format off
struct FakeView : RotationView
{
    std::vector<std::string> files, wallpapers;
    std::function<void(FakeView &)> duringEvents = [](FakeView &) {};
    bool ending = false;

    std::int64_t fileCount() const override { return std::int64_t(files.size()); }
    std::string filePath(std::int64_t i) const override { return files[std::size_t(i)]; }
    void processPendingEvents() override { duringEvents(*this); }
    bool isEnding() const override { return ending; }
    void showCurrentFile(const std::string &) override {}
    void setWallpaperUntilLogoff(const std::string &p) override { wallpapers.push_back(p); }
};

// One tick a second from @p start (days), as the timer does, the interval
// @p first seconds at the first tick and @p then afterwards.
struct RunCase { const char *name; std::vector<std::string> files; std::vector<double> draws; double start;
                 int ticks, first, then; std::vector<std::string> wallpapers;
                 std::function<void(FakeView &)> duringEvents = [](FakeView &) {}; };
class Run : public testing::TestWithParam<RunCase> {};
// clang-format on

TEST_P(Run, ChangesWhenDueWithAnotherFile)
{
    const RunCase &c = GetParam();
    FakeClock clock;
    clock.days = c.start;
    ScriptedRandom random;
    random.draws = c.draws;
    FakeView view;
    view.files = c.files;
    view.duringEvents = c.duringEvents;
    Rotation rotation{clock, random};
    for (int i = 0; i < c.ticks; ++i, clock.advanceSeconds(1))
        rotation.tick(view, (i ? c.then : c.first) * kSecond);
    EXPECT_EQ(view.wallpapers, c.wallpapers);
}

const std::vector<std::string> kAB{"a.bmp", "b.bmp"};
// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Run, testing::ValuesIn(std::vector<RunCase>{
    // Draws 0, 0 again, then 2: the first never repeats; due 5 s after the change, not before.
    {"first", {"a.bmp", "b.bmp", "c.bmp"}, {0.1, 0.2, 0.7}, 46000.25, 6, 5, 5, {"c.bmp", "a.bmp"}},
    // Every tick draws, the other file each time: the change takes the due tick's draw.
    {"even", kAB, {0.0, 0.9}, 0, 5, 2, 2, {"b.bmp", "b.bmp", "b.bmp"}},
    {"odd", kAB, {0.0, 0.9}, 0, 5, 3, 3, {"b.bmp", "a.bmp"}},
    // 23:59:30, 00:00:29, 00:01:28, 00:02:27.
    {"midnight", kAB, {0.1, 0.9}, 46001 - 30 * kSecond, 200, 59, 59, {"b.bmp", "a.bmp", "b.bmp", "a.bmp"}},
    // Shortened mid-run: the new interval counts from the next change.
    {"shortened", kAB, {0.1, 0.9}, 0, 13, 10, 2, {"b.bmp", "b.bmp", "b.bmp"}},
    {"noFile", {}, {0.5}, 0, 2, 1, 1, {}},
    {"oneFile", {"seul.bmp"}, {0.5}, 0, 2, 1, 1, {"seul.bmp", "seul.bmp"}},
    // While drawing again: an empty folder opened, or the program ending.
    {"emptied", kAB, {0.1}, 0, 1, 1, 1, {}, [](FakeView &v) { v.files.clear(); }},
    {"ending", kAB, {0.1}, 0, 1, 1, 1, {}, [](FakeView &v) { v.ending = true; }}}),
    [](const auto &row) { return std::string(row.param.name); });
// clang-format on

} // namespace
