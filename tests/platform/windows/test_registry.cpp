// SPDX-License-Identifier: GPL-3.0-or-later
// GetKeyValue over the real registry: what only the real ANSI calls the About
// dialog makes can get wrong, with the values written by the test under
// HKEY_CURRENT_USER with the W functions, as installers store them.
#include "about/sysinfo.h"
#include "platform/registry.h"
#include "tests/platform/windows/winsupport.h"

#include <gtest/gtest.h>

namespace velumbra {
namespace {

TEST(Registry, GetKeyValueReadsEachShape)
{
    const std::wstring path = L"C:\\Program Files\\Outils\\msinfo32.exe", accented = L"Outils é";
    const std::wstring longest(1023, L'x'); // 1024 bytes with its NUL: exactly the buffer
    // clang-format off
    struct Case { std::wstring stored; bool withNul; bool found; std::string text; };
    const Case cases[] = {
        {path, false, true, "C:\\Program Files\\Outils\\msinfo32.exe"},
        {std::wstring(L"ab\0cd", 5), true, true, "ab"}, // ends at the first NUL
        {accented, true, true, wintest::ansi(accented)},
        {longest, true, true, std::string(1023, 'x')},
        {longest + L"x", true, false, ""},
    };
    // clang-format on
    const std::string key = "Software\\Velumbra tests\\" + std::to_string(GetCurrentProcessId());
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    SystemRegistry registry;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        RegSetValueExW(handle, L"PATH", 0, REG_SZ, reinterpret_cast<const BYTE *>(c.stored.data()),
                       DWORD((c.stored.size() + c.withNul) * sizeof(wchar_t)));
        std::string text = "laissé par l'appelant";
        EXPECT_EQ(GetKeyValue(registry, RegistryRoot::CurrentUser, key, "PATH", text), c.found);
        EXPECT_EQ(text, c.text);
    }
    RegCloseKey(handle);
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    RegistryHandle opened = 12345;
    EXPECT_EQ(registry.openKey(RegistryRoot::CurrentUser, key, opened),
              RegistryStatus::FileNotFound);
    EXPECT_EQ(opened, 0u);
}

} // namespace
} // namespace velumbra
