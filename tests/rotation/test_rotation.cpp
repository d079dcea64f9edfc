#include "platform/fakes/fakeclock.h"
#include "rotation/rotation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace velumbra;

// The window's side of the rotation, recording what the ticks did.
class FakeView : public RotationView
{
public:
    std::vector<std::string> files;
    std::vector<std::string> shown;
    std::vector<std::string> wallpapers;
    int pendingRuns = 0;
    std::function<void()> duringEvents;
    bool ending = false;

    std::int64_t fileCount() const override { return std::int64_t(files.size()); }
    std::string filePath(std::int64_t i) const override { return "/pics/" + files[std::size_t(i)]; }
    void processPendingEvents() override
    {
        ++pendingRuns;
        if (duringEvents)
            duringEvents();
    }
    bool isEnding() const override { return ending; }
    void showCurrentFile(const std::string &p) override { shown.push_back(p); }
    void setWallpaperUntilLogoff(const std::string &p) override { wallpapers.push_back(p); }
};

constexpr double kSecond = 1.0 / 86400.0;

struct Fixture
{
    FakeClock clock;
    ScriptedRandom random;
    FakeView view;
    Rotation rotation{clock, random};

    // One tick per second, as the timer does.
    void run(int ticks, double interval)
    {
        for (int i = 0; i < ticks; ++i) {
            rotation.tick(view, interval);
            clock.advanceSeconds(1);
        }
    }
};

TEST(Rotation, TheFirstDrawOfARunIsNeverIndexZero)
{
    Fixture f;
    f.view.files = {"a.bmp", "b.bmp", "c.bmp"};
    f.clock.days = 46000.25;
    f.random.draws = {0.1, 0.2, 0.7}; // index 0, 0 again, then 2
    EXPECT_TRUE(f.rotation.tick(f.view, 5 * kSecond));
    EXPECT_EQ(f.view.pendingRuns, 2);
    EXPECT_EQ(f.view.wallpapers, std::vector<std::string>{"/pics/c.bmp"});
    EXPECT_EQ(f.rotation.lastIndex(), 2);
    // The due time counts from the change.
    EXPECT_DOUBLE_EQ(f.rotation.nextChange(), 46000.25 + 5 * kSecond);
}

TEST(Rotation, TwoFilesAlternateAndTheChangeDependsOnTheTickParity)
{
    const struct
    {
        int intervalSeconds;
        std::vector<std::string> expected;
    } cases[] = {
        // 2 s: changes at ticks 0, 2, 4: always the file drawn at even ticks.
        {2, {"/pics/b.bmp", "/pics/b.bmp", "/pics/b.bmp"}},
        // 3 s: changes at ticks 0, 3: the parity flips.
        {3, {"/pics/b.bmp", "/pics/a.bmp"}},
    };
    for (const auto &c : cases) {
        Fixture f;
        f.view.files = {"a.bmp", "b.bmp"};
        f.clock.days = 46000.5;
        // Every draw tries 0 first; only the one that differs is taken.
        for (int i = 0; i < 20; ++i) {
            f.random.draws.push_back(0.0);
            f.random.draws.push_back(0.9);
        }
        f.run(5, c.intervalSeconds * kSecond);
        EXPECT_EQ(f.view.wallpapers, c.expected) << c.intervalSeconds;
    }
}

TEST(Rotation, ChangesExactlyWhenTheDueTimeIsReached)
{
    Fixture f;
    f.view.files = {"a.bmp", "b.bmp", "c.bmp"};
    f.clock.days = 46000.0;
    f.random.draws = {0.5, 0.9, 0.5, 0.9, 0.5, 0.9};
    f.rotation.tick(f.view, 2 * kSecond);
    ASSERT_EQ(f.view.wallpapers.size(), 1u);
    f.clock.advanceSeconds(1);
    f.rotation.tick(f.view, 2 * kSecond);
    EXPECT_EQ(f.view.wallpapers.size(), 1u); // one second early
    f.clock.days = f.rotation.nextChange();  // exactly due
    f.rotation.tick(f.view, 2 * kSecond);
    EXPECT_EQ(f.view.wallpapers.size(), 2u);
}

TEST(Rotation, ANewIntervalCountsFromTheNextChange)
{
    Fixture f;
    f.view.files = {"a.bmp", "b.bmp"};
    f.clock.days = 46000.0;
    for (int i = 0; i < 40; ++i)
        f.random.draws.push_back(i % 2 ? 0.9 : 0.1);
    f.rotation.tick(f.view, 10 * kSecond);
    const double due = f.rotation.nextChange();
    f.clock.advanceSeconds(1);
    f.rotation.tick(f.view, 2 * kSecond); // interval shortened mid-rotation
    EXPECT_EQ(f.rotation.nextChange(), due);
    EXPECT_EQ(f.view.wallpapers.size(), 1u);
    f.clock.days = due;
    f.rotation.tick(f.view, 2 * kSecond);
    EXPECT_DOUBLE_EQ(f.rotation.nextChange(), due + 2 * kSecond);
}

TEST(Rotation, GoesOnAcrossMidnight)
{
    Fixture f;
    f.view.files = {"a.bmp", "b.bmp"};
    f.clock.days = 46000.0 + 1 - 30 * kSecond; // 23:59:30
    for (int i = 0; i < 400; ++i)
        f.random.draws.push_back(i % 2 ? 0.9 : 0.1);
    f.run(200, 59 * kSecond);
    // Changes at 23:59:30, 00:00:29, 00:01:28, 00:02:27.
    EXPECT_EQ(f.view.wallpapers.size(), 4u);
}

TEST(Rotation, FewerThanTwoFilesNeverLoop)
{
    Fixture f;
    f.clock.days = 46000.0;
    f.random.draws = {0.3, 0.3, 0.3};
    EXPECT_FALSE(f.rotation.tick(f.view, kSecond)); // no file: nothing at all
    EXPECT_TRUE(f.view.shown.empty());
    EXPECT_FALSE(f.rotation.lastIndex());

    f.view.files = {"only.bmp"};
    EXPECT_TRUE(f.rotation.tick(f.view, kSecond));
    f.clock.advanceSeconds(1);
    EXPECT_TRUE(f.rotation.tick(f.view, kSecond));
    EXPECT_EQ(f.view.wallpapers, (std::vector<std::string>{"/pics/only.bmp", "/pics/only.bmp"}));
    EXPECT_EQ(f.view.pendingRuns, 0);
}

TEST(Rotation, AListEmptiedWhileDrawingEndsTheTick)
{
    Fixture f;
    f.view.files = {"a.bmp", "b.bmp"};
    f.clock.days = 46000.0;
    f.random.draws = {0.1, 0.1, 0.1};
    // The user opens an empty folder while the tick waits for a new index.
    f.view.duringEvents = [&f] { f.view.files.clear(); };
    EXPECT_FALSE(f.rotation.tick(f.view, kSecond));
    EXPECT_TRUE(f.view.wallpapers.empty());
}

TEST(Rotation, AnEndingProgramStopsTheDraw)
{
    Fixture f;
    f.view.files = {"a.bmp", "b.bmp"};
    f.random.draws = {0.1, 0.1};
    f.view.duringEvents = [&f] { f.view.ending = true; };
    EXPECT_FALSE(f.rotation.tick(f.view, kSecond));
    EXPECT_TRUE(f.view.wallpapers.empty());
}

TEST(Rotation, ADayOfTicksKeepsTheRhythm)
{
    Fixture f;
    f.view.files = {"a.bmp", "b.bmp", "c.bmp", "d.bmp"};
    f.clock.days = 46000.0;
    f.random.draws.clear();
    for (int i = 0; i < 200000; ++i)
        f.random.draws.push_back((i * 7 % 4) / 4.0 + 0.01);
    f.run(86400, 59.0 / 24 / 60); // every 59 minutes
    // A change at the start and then one every 59 minutes and one second.
    EXPECT_EQ(f.view.wallpapers.size(), std::size_t(1 + 86400 / (59 * 60 + 1)));
}

} // namespace
