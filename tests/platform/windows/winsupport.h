#pragma once

// Helpers shared by the tests of the Windows backends, which run against the
// real Windows API (under wine on the build machines).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

namespace velumbra::wintest {

[[nodiscard]] std::wstring wide(const std::string &utf8);
[[nodiscard]] std::string utf8(const std::wstring &text);

// @p text in the ANSI code page, or nothing when the code page cannot spell it.
[[nodiscard]] std::optional<std::string> ansi(const std::wstring &text);

// A folder of its own under the user's temporary folder, removed with everything in it.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    [[nodiscard]] const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Writes a 2 x 2 pixel, 24-bit BMP: a real picture, so that a real Windows
// accepts it as a wallpaper too.
void writeBmp(const std::filesystem::path &file);

// The string value @p name of HKEY_CURRENT_USER\@p key, or nothing when it is missing.
[[nodiscard]] std::optional<std::wstring> userString(const wchar_t *key, const wchar_t *name);

// The folder of the running test program.
[[nodiscard]] std::filesystem::path programFolder();

} // namespace velumbra::wintest
