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

using wintest::utf8;

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

class WindowsWallpaper : public testing::Test
{
protected:
    void TearDown() override
    {
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, m_stored.data(), SPIF_UPDATEINIFILE);
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, m_shown.data(), 0);
    }

    // A 1 x 1 bitmap of 24 bits named @p name in the test's folder.
    std::filesystem::path picture(const std::wstring &name)
    {
        const std::filesystem::path file = m_folder.path / name;
        const char header[] = "BM:\0\0\0\0\0\0\0\x36\0\0\0(\0\0\0\1\0\0\0\1\0\0\0\1\0\x18";
        EXPECT_TRUE(std::ofstream(file, std::ios::binary).write(header, 29)
                    << std::string(29, '\0'));
        return file;
    }

    std::wstring m_shown = shownWallpaper(), m_stored = storedWallpaper();
    const wintest::TempFolder m_folder;
    const std::unique_ptr<WallpaperSetter> m_setter = createWallpaperSetter();
};

// Flags 0 change the picture shown until logoff only; flags 3 also store it
// in the profile. Names outside the ANSI code page must reach Windows intact.
TEST_F(WindowsWallpaper, ShowsThePictureAndStoresItOnlyForGood)
{
    for (const std::wstring stem : {L"fond", L"café é", L"日本 壁紙"})
        for (const WallpaperLifetime lifetime :
             {WallpaperLifetime::UntilLogoff, WallpaperLifetime::ForGood}) {
            const auto before = picture(stem + L" avant.bmp"),
                       after = picture(stem + L" après.bmp");
            SCOPED_TRACE(utf8(after) + (lifetime == WallpaperLifetime::ForGood ? " for good" : ""));
            ASSERT_TRUE(m_setter->setWallpaper(utf8(before), WallpaperLifetime::ForGood).ok());
            const Result<> result = m_setter->setWallpaper(utf8(after), lifetime);
            EXPECT_TRUE(result.ok() && result.reason().empty()) << result.reason();
            EXPECT_EQ(shownWallpaper(), after.wstring());
            EXPECT_EQ(storedWallpaper(),
                      (lifetime == WallpaperLifetime::ForGood ? after : before).wstring());
        }
}

// SystemParametersInfoW may accept a name that is no picture and show a plain
// colour (wine always does): the backend refuses an absent file before the
// desktop loses its picture.
TEST_F(WindowsWallpaper, RefusesAnAbsentFile)
{
    const auto current = picture(L"actuel.bmp");
    ASSERT_TRUE(m_setter->setWallpaper(utf8(current), WallpaperLifetime::ForGood).ok());
    EXPECT_FALSE(
        m_setter
            ->setWallpaper(utf8(m_folder.path / L"absent é.bmp"), WallpaperLifetime::UntilLogoff)
            .ok());
    EXPECT_EQ(shownWallpaper(), current.wstring());
}

} // namespace
} // namespace velumbra
