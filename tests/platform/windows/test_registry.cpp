// SPDX-License-Identifier: GPL-3.0-or-later
// GetKeyValue over the real registry: the value shapes are written by the test
// under HKEY_CURRENT_USER with the W functions, as installers store them, and
// read back through the ANSI calls the About dialog makes.
#include "about/sysinfo.h"
#include "platform/registry.h"
#include "tests/platform/windows/winsupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace velumbra {
namespace {

std::vector<unsigned char> bytes(const std::wstring &text, bool withNul = true)
{
    const auto *first = reinterpret_cast<const unsigned char *>(text.c_str());
    return {first, first + (text.size() + withNul) * sizeof(wchar_t)};
}

TEST(Registry, GetKeyValueReadsEachShape)
{
    const std::string kept = "laissé par l'appelant";
    const std::wstring path = L"C:\\Program Files\\Outils\\msinfo32.exe",
                       accented = L"Outils partagés";
    const std::wstring longest(1023, L'x'); // 1024 bytes with its NUL: exactly the buffer
    // type REG_NONE: no value
    // clang-format off
    struct Case { DWORD type; std::vector<unsigned char> data; bool found; std::string text; };
    const Case cases[] = {
        {REG_SZ, bytes(path), true, "C:\\Program Files\\Outils\\msinfo32.exe"},
        {REG_SZ, bytes(path, false), true, "C:\\Program Files\\Outils\\msinfo32.exe"},
        {REG_SZ, bytes(std::wstring(L"ab\0cd", 5)), true, "ab"}, // ends at the first NUL
        {REG_SZ, bytes(accented), true, wintest::ansi(accented)},
        {REG_SZ, {}, true, ""},
        {REG_SZ, bytes(longest), true, std::string(1023, 'x')},
        {REG_SZ, bytes(longest + L"x"), false, ""},
        {REG_DWORD, {0x78, 0x56, 0x34, 0x92}, true, "2452903544"}, // unsigned, little-endian
        {REG_BINARY, {1, 2, 3, 0, 5}, true, kept},
        {REG_NONE, {}, false, ""},
    };
    // clang-format on
    const std::wstring key = L"Software\\Velumbra tests\\" + std::to_wstring(GetCurrentProcessId());
    SystemRegistry registry;
    for (const auto &c : cases) {
        SCOPED_TRACE(&c - cases);
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        if (c.type != REG_NONE)
            RegSetValueExW(handle, L"PATH", 0, c.type, c.data.data(), DWORD(c.data.size()));
        RegCloseKey(handle);
        std::string text = kept;
        EXPECT_EQ(
            GetKeyValue(registry, RegistryRoot::CurrentUser, wintest::utf8(key), "PATH", text),
            c.found);
        EXPECT_EQ(text, c.text);
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    }
    RegistryHandle handle = 12345;
    EXPECT_EQ(registry.openKey(RegistryRoot::CurrentUser, wintest::utf8(key), handle),
              RegistryStatus::FileNotFound);
    EXPECT_EQ(handle, 0u);
}

// The predefined roots are sign-extended handles on 64-bit Windows; these
// values exist on every installation and are readable by every account.
TEST(Registry, MachineAndClassesRootsAreReadable)
{
    SystemRegistry registry;
    std::string systemRoot, description;
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_TRUE(GetKeyValue(registry, RegistryRoot::LocalMachine,
                            "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot",
                            systemRoot));
    EXPECT_EQ(_stricmp(systemRoot.c_str(), windows), 0) << systemRoot << " / " << windows;
    EXPECT_TRUE(GetKeyValue(registry, RegistryRoot::ClassesRoot, "txtfile", "", description));
    EXPECT_FALSE(description.empty());
}

} // namespace
} // namespace velumbra
