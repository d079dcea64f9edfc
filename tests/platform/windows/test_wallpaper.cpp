// The Windows wallpaper and screen-saver backend against the real
// SystemParametersInfoW and the user's registry. Every test puts back the
// wallpaper and screen-saver state it found, so that it can run on a real
// desktop too.
#include "platform/wallpaper/wallpaper.h"
#include "tests/platform/windows/winsupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace velumbra {
namespace {

using wintest::userString;
using wintest::wide;

constexpr const wchar_t *kDesktopKey = L"Control Panel\\Desktop";

std::wstring shownWallpaper()
{
    wchar_t current[MAX_PATH + 1] = {};
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, current, 0));
    return current;
}

std::wstring storedWallpaper()
{
    return userString(kDesktopKey, L"Wallpaper").value_or(L"<absent>");
}

bool screenSaverActive()
{
    BOOL active = FALSE;
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
    return active != FALSE;
}

class WindowsWallpaper : public testing::Test
{
protected:
    void SetUp() override
    {
        m_shown = shownWallpaper();
        m_stored = storedWallpaper();
        m_saverActive = screenSaverActive();
        m_setter = createWallpaperSetter();
        ASSERT_EQ(m_setter->name(), "windows");
    }

    void TearDown() override
    {
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, m_stored.data(), SPIF_UPDATEINIFILE);
        if (m_shown != m_stored)
            SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, m_shown.data(), 0);
        SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, m_saverActive, nullptr, SPIF_UPDATEINIFILE);
    }

    // A picture named @p name in the test's folder, as the UTF-8 path the backend takes.
    std::string picture(const std::string &name)
    {
        const auto file = m_folder.path() / wide(name);
        wintest::writeBmp(file);
        return wintest::utf8(file.wstring());
    }

    wintest::TempFolder m_folder;
    std::unique_ptr<WallpaperSetter> m_setter;
    std::wstring m_shown;
    std::wstring m_stored;
    bool m_saverActive = true;
};

struct LifetimeCase
{
    const char *label;
    const char *stem; // UTF-8
    WallpaperLifetime lifetime;
    bool stored; // whether the user's profile keeps the new picture
};

void PrintTo(const LifetimeCase &c, std::ostream *os)
{
    *os << c.label;
}

class WallpaperLifetimes : public WindowsWallpaper, public testing::WithParamInterface<LifetimeCase>
{
};

// Flags 0 change the picture shown until logoff only; flags 3 also store it
// in the profile. Names outside the ANSI code page must reach Windows intact.
TEST_P(WallpaperLifetimes, ShowsThePictureAndStoresItOnlyForGood)
{
    const LifetimeCase &c = GetParam();
    const std::string before = picture(std::string(c.stem) + " avant.bmp");
    const std::string after = picture(std::string(c.stem) + " après.bmp");
    ASSERT_TRUE(m_setter->setWallpaper(before, WallpaperLifetime::ForGood).ok());
    ASSERT_EQ(storedWallpaper(), wide(before));

    const Result<> result = m_setter->setWallpaper(after, c.lifetime);

    EXPECT_TRUE(result.ok()) << result.reason();
    EXPECT_TRUE(result.reason().empty()) << result.reason();
    EXPECT_EQ(shownWallpaper(), wide(after));
    EXPECT_EQ(storedWallpaper(), wide(c.stored ? after : before));
}

INSTANTIATE_TEST_SUITE_P(
    Table, WallpaperLifetimes,
    testing::Values(
        LifetimeCase{"PlainUntilLogoff", "fond", WallpaperLifetime::UntilLogoff, false},
        LifetimeCase{"PlainForGood", "fond", WallpaperLifetime::ForGood, true},
        LifetimeCase{"AccentsUntilLogoff", "café é", WallpaperLifetime::UntilLogoff, false},
        LifetimeCase{"AccentsForGood", "café é", WallpaperLifetime::ForGood, true},
        LifetimeCase{"JapaneseUntilLogoff", "日本 壁紙", WallpaperLifetime::UntilLogoff, false},
        LifetimeCase{"JapaneseForGood", "日本 壁紙", WallpaperLifetime::ForGood, true}),
    [](const testing::TestParamInfo<LifetimeCase> &p) { return p.param.label; });

struct RefusedCase
{
    const char *label;
    enum { Missing, Folder, BadUtf8 } kind;
    const char *because;
};

void PrintTo(const RefusedCase &c, std::ostream *os)
{
    *os << c.label;
}

class RefusedWallpapers : public WindowsWallpaper, public testing::WithParamInterface<RefusedCase>
{
};

// SystemParametersInfoW may accept a name that is no picture and show a plain
// colour (wine always does): the backend refuses such names before the
// desktop loses its picture.
TEST_P(RefusedWallpapers, LeaveTheDesktopAsItWas)
{
    const RefusedCase &c = GetParam();
    const std::string current = picture("actuel.bmp");
    ASSERT_TRUE(m_setter->setWallpaper(current, WallpaperLifetime::ForGood).ok());
    const std::string folder = wintest::utf8(m_folder.path().wstring());
    const std::string path = c.kind == RefusedCase::Missing  ? folder + "\\absent é.bmp"
                             : c.kind == RefusedCase::Folder ? folder
                                                             : folder + "\\\xff\xfe.bmp";

    for (const WallpaperLifetime lifetime :
         {WallpaperLifetime::UntilLogoff, WallpaperLifetime::ForGood}) {
        const Result<> result = m_setter->setWallpaper(path, lifetime);
        EXPECT_FALSE(result.ok());
        EXPECT_NE(result.reason().find(c.because), std::string::npos) << result.reason();
        EXPECT_NE(result.reason().find("le papier peint reste inchangé"), std::string::npos)
            << result.reason();
    }
    EXPECT_EQ(shownWallpaper(), wide(current));
    EXPECT_EQ(storedWallpaper(), wide(current));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedWallpapers,
    testing::Values(RefusedCase{"Missing", RefusedCase::Missing, "n'existe pas"},
                    RefusedCase{"Folder", RefusedCase::Folder, "est un dossier"},
                    RefusedCase{"NotUtf8", RefusedCase::BadUtf8, "n'est pas valide"}),
    [](const testing::TestParamInfo<RefusedCase> &p) { return p.param.label; });

TEST_F(WindowsWallpaper, EmptyNameRemovesThePicture)
{
    ASSERT_TRUE(m_setter->setWallpaper(picture("fond.bmp"), WallpaperLifetime::ForGood).ok());
    const Result<> result = m_setter->setWallpaper("", WallpaperLifetime::ForGood);
    EXPECT_TRUE(result.ok()) << result.reason();
    EXPECT_EQ(shownWallpaper(), L"");
    EXPECT_EQ(storedWallpaper(), L"");
}

TEST_F(WindowsWallpaper, ScreenSaverSwitchedOffReadsBackOff)
{
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0));
    ASSERT_TRUE(screenSaverActive());

    const Result<> first = m_setter->disableScreenSaver();
    EXPECT_TRUE(first.ok()) << first.reason();
    EXPECT_FALSE(screenSaverActive());

    // Switching off what is already off is no failure.
    const Result<> again = m_setter->disableScreenSaver();
    EXPECT_TRUE(again.ok()) << again.reason();
    EXPECT_FALSE(screenSaverActive());
}

} // namespace
} // namespace velumbra
