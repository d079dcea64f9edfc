// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows wallpaper and screen-saver backend against the real
// SystemParametersInfoW and the user's registry. Every test puts back the
// state it found, so that it can run on a real desktop too.
#include "platform/wallpaper/wallpaper.h"
#include "tests/platform/windows/winsupport.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>

namespace velumbra {
namespace {

using wintest::wide;

std::wstring shownWallpaper()
{
    wchar_t current[MAX_PATH + 1] = {};
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, current, 0));
    return current;
}

std::wstring storedWallpaper()
{
    std::array<wchar_t, 2048> buffer{};
    DWORD size = sizeof buffer; // RegGetValueW ends the string itself, whatever was stored
    return RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", RRF_RT_REG_SZ,
                        nullptr, buffer.data(), &size)
               ? L"<absent>"
               : buffer.data();
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
    void TearDown() override
    {
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, m_stored.data(), SPIF_UPDATEINIFILE);
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, m_shown.data(), 0);
        SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, m_saverActive, nullptr, SPIF_UPDATEINIFILE);
    }

    // A 1 x 1 bitmap named @p name in the test's folder, as the UTF-8 path the backend takes.
    std::string picture(const std::string &name)
    {
        const std::filesystem::path file = m_folder.path / wide(name);
        std::string bmp(58, '\0');
        for (const auto &[at, byte] : {std::pair{0, 'B'},
                                       {1, 'M'},
                                       {2, 58},
                                       {10, 54},
                                       {14, 40},
                                       {18, 1},
                                       {22, 1},
                                       {26, 1},
                                       {28, 24},
                                       {55, 64}})
            bmp[std::size_t(at)] = char(byte);
        EXPECT_TRUE(std::ofstream(file, std::ios::binary) << bmp);
        return wintest::utf8(file);
    }

    std::wstring m_shown = shownWallpaper(), m_stored = storedWallpaper();
    const bool m_saverActive = screenSaverActive();
    const wintest::TempFolder m_folder;
    const std::unique_ptr<WallpaperSetter> m_setter = createWallpaperSetter();
};

// Flags 0 change the picture shown until logoff only; flags 3 also store it
// in the profile. Names outside the ANSI code page must reach Windows intact.
TEST_F(WindowsWallpaper, ShowsThePictureAndStoresItOnlyForGood)
{
    ASSERT_EQ(m_setter->name(), "windows");
    for (const char *stem : {"fond", "café é", "日本 壁紙"})
        for (const WallpaperLifetime lifetime :
             {WallpaperLifetime::UntilLogoff, WallpaperLifetime::ForGood}) {
            SCOPED_TRACE(std::string(stem) +
                         (lifetime == WallpaperLifetime::ForGood ? " for good" : " until logoff"));
            const std::string before = picture(std::string(stem) + " avant.bmp");
            const std::string after = picture(std::string(stem) + " après.bmp");
            ASSERT_TRUE(m_setter->setWallpaper(before, WallpaperLifetime::ForGood).ok());
            const Result<> result = m_setter->setWallpaper(after, lifetime);
            EXPECT_TRUE(result.ok() && result.reason().empty()) << result.reason();
            EXPECT_EQ(shownWallpaper(), wide(after));
            EXPECT_EQ(storedWallpaper(),
                      wide(lifetime == WallpaperLifetime::ForGood ? after : before));
        }
}

// SystemParametersInfoW may accept a name that is no picture and show a plain
// colour (wine always does): the backend refuses such names before the
// desktop loses its picture. An empty name removes the picture.
TEST_F(WindowsWallpaper, RefusesWhatIsNoPictureAndRemovesOnEmpty)
{
    const std::string current = picture("actuel.bmp");
    ASSERT_TRUE(m_setter->setWallpaper(current, WallpaperLifetime::ForGood).ok());
    const std::string folder = wintest::utf8(m_folder.path);
    const std::pair<std::string, const char *> refused[] = {
        {folder + "\\absent é.bmp", "n'existe pas"},
        {folder, "est un dossier"},
        {folder + "\\\xff\xfe.bmp", "n'est pas valide"}};
    for (const auto &[path, because] : refused)
        for (const WallpaperLifetime lifetime :
             {WallpaperLifetime::UntilLogoff, WallpaperLifetime::ForGood}) {
            const std::string why = m_setter->setWallpaper(path, lifetime).reason();
            EXPECT_TRUE(why.find(because) != why.npos &&
                        why.find("le papier peint reste inchangé") != why.npos)
                << why;
        }
    EXPECT_EQ(shownWallpaper(), wide(current));
    EXPECT_EQ(storedWallpaper(), wide(current));

    EXPECT_TRUE(m_setter->setWallpaper("", WallpaperLifetime::ForGood).ok());
    EXPECT_EQ(shownWallpaper(), L"");
    EXPECT_EQ(storedWallpaper(), L"");
}

// Switching off what is already off is no failure.
TEST_F(WindowsWallpaper, ScreenSaverSwitchedOffReadsBackOff)
{
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0));
    for (int time = 0; time < 2; ++time) {
        const Result<> result = m_setter->disableScreenSaver();
        EXPECT_TRUE(result.ok()) << result.reason();
        EXPECT_FALSE(screenSaverActive());
    }
}

} // namespace
} // namespace velumbra
