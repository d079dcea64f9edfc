// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tests of the Windows backends share; they run against the real
// Windows API (under wine on the build machines).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>
#include <string>

namespace velumbra::wintest {

inline std::string utf8(const std::filesystem::path &path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

/// @p text in the ANSI code page, which spells every name these tests use.
inline std::string ansi(const std::wstring &text)
{
    std::string out(text.size() * 4, '\0');
    out.resize(std::size_t(
        std::max(0, WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(),
                                        int(out.size()), nullptr, nullptr))));
    return out;
}

/// A folder of its own under the user's temporary folder, removed with everything in it.
struct TempFolder
{
    static inline int s_count = 0;
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        (L"velumbra-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++s_count));
    TempFolder() { std::filesystem::create_directories(path); }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

} // namespace velumbra::wintest
