#include "tests/platform/windows/winsupport.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace velumbra::wintest {

std::wstring wide(const std::string &utf8)
{
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

std::string utf8(const std::wstring &text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::optional<std::string> ansi(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    BOOL lossy = FALSE;
    const int n =
        WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy)
        return std::nullopt;
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(), n, nullptr, &lossy);
    return out;
}

TempFolder::TempFolder()
{
    static int count = 0;
    m_path = std::filesystem::temp_directory_path() /
             (L"velumbra-tests-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(++count));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempFolder::~TempFolder()
{
    // Windows refuses to delete read-only files.
    std::error_code ignored;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(m_path, ignored))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(m_path, ignored);
}

void writeBmp(const std::filesystem::path &file)
{
    // 14-byte file header, 40-byte info header, two rows of 2 pixels padded to 8 bytes.
    constexpr std::uint32_t pixelBytes = 16;
    constexpr std::uint32_t fileSize = 54 + pixelBytes;
    std::vector<unsigned char> bytes;
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    put('B' | ('M' << 8), 2);
    put(fileSize, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(2, 4); // width
    put(2, 4); // height
    put(1, 2);
    put(24, 2);
    put(0, 4); // BI_RGB
    put(pixelBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int row = 0; row < 2; ++row) {
        put(0x2040C0, 3);
        put(0xC04020, 3);
        put(0, 2);
    }
    const HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + utf8(file.wstring()));
    DWORD written = 0;
    const BOOL ok = WriteFile(out, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(out);
    if (!ok || written != bytes.size())
        throw std::runtime_error("cannot write " + utf8(file.wstring()));
}

std::optional<std::wstring> userString(const wchar_t *key, const wchar_t *name)
{
    // RegGetValueW terminates the string itself, whatever was stored.
    std::array<wchar_t, 2048> buffer{};
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, buffer.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer.data());
}

std::filesystem::path programFolder()
{
    std::wstring path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    path.resize(n);
    return std::filesystem::path(path).parent_path();
}

} // namespace velumbra::wintest
