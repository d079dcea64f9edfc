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

const std::string kKept = "laissé par l'appelant";

std::vector<unsigned char> wideBytes(const std::wstring &text, bool withNul)
{
    const auto *first = reinterpret_cast<const unsigned char *>(text.c_str());
    return {first, first + (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t)};
}

struct ValueCase
{
    const char *label;
    DWORD type;
    std::vector<unsigned char> data;
    bool expectedResult;
    std::string expectedText;
};

void PrintTo(const ValueCase &c, std::ostream *os)
{
    *os << c.label;
}

std::vector<ValueCase> valueCases()
{
    const std::wstring path = L"C:\\Program Files\\Outils\\msinfo32.exe";
    const std::string pathText = "C:\\Program Files\\Outils\\msinfo32.exe";
    const std::wstring longest(1023, L'x'); // 1024 bytes with its NUL: exactly the buffer
    const std::wstring accented = L"Outils partagés";
    return {
        {"StringWithNul", REG_SZ, wideBytes(path, true), true, pathText},
        {"StringWithoutNul", REG_SZ, wideBytes(path, false), true, pathText},
        {"StringEndsAtFirstNul", REG_SZ, wideBytes(std::wstring(L"ab\0cd", 5), true), true, "ab"},
        {"StringInAnsiCodePage", REG_SZ, wideBytes(accented, true), true,
         wintest::ansi(accented).value_or("Outils partag?s")},
        {"ZeroLengthString", REG_SZ, {}, true, ""},
        {"FillsTheBuffer", REG_SZ, wideBytes(longest, true), true, std::string(1023, 'x')},
        {"OneByteTooLong", REG_SZ, wideBytes(longest + L"x", true), false, ""},
        {"FarTooLong", REG_SZ, wideBytes(std::wstring(2000, L'y'), true), false, ""},
        {"Dword", REG_DWORD, {0x78, 0x56, 0x34, 0x12}, true, "305419896"},
        {"DwordIsUnsigned", REG_DWORD, {0xff, 0xff, 0xff, 0xff}, true, "4294967295"},
        {"BinaryKeepsCallersText", REG_BINARY, {1, 2, 3, 0, 5}, true, kKept},
    };
}

class TestKey : public testing::Test
{
protected:
    void SetUp() override
    {
        m_key = L"Software\\Velumbra tests\\" + std::to_wstring(GetCurrentProcessId());
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &m_handle, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(m_handle);
        RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str());
    }

    std::wstring m_key;
    HKEY m_handle = nullptr;
};

class RegistryValues : public TestKey, public testing::WithParamInterface<ValueCase>
{
};

TEST_P(RegistryValues, GetKeyValueReadsEachShape)
{
    const ValueCase &c = GetParam();
    ASSERT_EQ(RegSetValueExW(m_handle, L"PATH", 0, c.type, c.data.empty() ? nullptr : c.data.data(),
                             DWORD(c.data.size())),
              ERROR_SUCCESS);
    SystemRegistry registry;
    std::string text = kKept;

    EXPECT_EQ(GetKeyValue(registry, RegistryRoot::CurrentUser, wintest::utf8(m_key), "PATH", text),
              c.expectedResult);
    EXPECT_EQ(text, c.expectedText);
}

INSTANTIATE_TEST_SUITE_P(Shapes, RegistryValues, testing::ValuesIn(valueCases()),
                         [](const testing::TestParamInfo<ValueCase> &p) { return p.param.label; });

TEST_F(TestKey, MissingValueOrKeyEmptiesTheText)
{
    SystemRegistry registry;
    const std::string key = wintest::utf8(m_key);
    std::string text = kKept;
    EXPECT_FALSE(GetKeyValue(registry, RegistryRoot::CurrentUser, key, "absente", text));
    EXPECT_EQ(text, "");

    text = kKept;
    EXPECT_FALSE(GetKeyValue(registry, RegistryRoot::CurrentUser, key + "\\absente", "PATH", text));
    EXPECT_EQ(text, "");

    RegistryHandle handle = 12345;
    EXPECT_EQ(registry.openKey(RegistryRoot::CurrentUser, key + "\\absente", handle),
              RegistryStatus::FileNotFound);
    EXPECT_EQ(handle, 0u);
    registry.closeKey(handle);
}

// The predefined roots are sign-extended handles on 64-bit Windows; these
// values exist on every installation and are readable by every account.
TEST(RegistryRoots, MachineAndClassesRootsAreReadable)
{
    SystemRegistry registry;
    std::string systemRoot;
    ASSERT_TRUE(GetKeyValue(registry, RegistryRoot::LocalMachine,
                            "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot",
                            systemRoot));
    char windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    EXPECT_EQ(
        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, systemRoot.c_str(), -1, windows, -1),
        CSTR_EQUAL)
        << systemRoot << " / " << windows;

    std::string description;
    EXPECT_TRUE(GetKeyValue(registry, RegistryRoot::ClassesRoot, "txtfile", "", description));
    EXPECT_FALSE(description.empty());
}

} // namespace
} // namespace velumbra
