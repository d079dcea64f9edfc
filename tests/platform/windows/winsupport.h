#pragma once

// What the tests of the Windows backends share; they run against the real
// Windows API (under wine on the build machines).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>

namespace velumbra::wintest {

inline std::wstring wide(const std::string &utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

inline std::string utf8(const std::filesystem::path &path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

/// @p text in the ANSI code page, or nothing when the code page cannot spell it.
inline std::optional<std::string> ansi(const std::wstring &text)
{
    BOOL lossy = FALSE;
    std::string out(text.size() * 4, '\0');
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(),
                                      int(out.size()), nullptr, &lossy);
    if (lossy || (n <= 0 && !text.empty()))
        return std::nullopt;
    out.resize(std::size_t(n));
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
        std::error_code ignored; // Windows refuses to delete read-only files
        for (const auto &entry : std::filesystem::recursive_directory_iterator(path, ignored))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(path, ignored);
    }
};

/// The string value @p name of HKEY_CURRENT_USER\@p key, or nothing when it is missing.
inline std::optional<std::wstring> userString(const wchar_t *key, const wchar_t *name)
{
    std::array<wchar_t, 2048> buffer{};
    DWORD size = sizeof buffer; // RegGetValueW ends the string itself, whatever was stored
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, buffer.data(), &size))
        return std::nullopt;
    return std::wstring(buffer.data());
}

/// The folder of the running test program.
inline std::filesystem::path programFolder()
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    return std::filesystem::path(path).parent_path();
}

} // namespace velumbra::wintest
