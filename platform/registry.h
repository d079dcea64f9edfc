#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velumbra {

/// Root keys of the registry, by the numbers the Windows API documents for them.
enum class RegistryRoot : std::uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
};

/// Value types as the registry reports them.
namespace RegistryType {
inline constexpr std::uint32_t String = 1;       ///< REG_SZ
inline constexpr std::uint32_t ExpandString = 2; ///< REG_EXPAND_SZ
inline constexpr std::uint32_t Binary = 3;       ///< REG_BINARY
inline constexpr std::uint32_t Dword = 4;        ///< REG_DWORD, little-endian
} // namespace RegistryType

/// Result codes of the registry calls, as the Windows API returns them.
namespace RegistryStatus {
inline constexpr long Success = 0;       ///< ERROR_SUCCESS
inline constexpr long FileNotFound = 2;  ///< ERROR_FILE_NOT_FOUND
inline constexpr long AccessDenied = 5;  ///< ERROR_ACCESS_DENIED
inline constexpr long InvalidHandle = 6; ///< ERROR_INVALID_HANDLE
inline constexpr long MoreData = 234;    ///< ERROR_MORE_DATA
} // namespace RegistryStatus

/// An open registry key, opaque to callers; 0 stands for no key.
using RegistryHandle = std::uintptr_t;

/// Read access to the system registry. Key and value names, and the text of
/// string values, are in the system's narrow encoding (the ANSI code page on
/// Windows).
class Registry
{
public:
    virtual ~Registry() = default;

    /// Opens @p subKey under @p root for reading only and stores the open key
    /// in @p key (0 when it fails). Returns 0 on success, else a Windows error code.
    virtual long openKey(RegistryRoot root, const std::string &subKey, RegistryHandle &key) = 0;

    /// Reads the value @p name of the open @p key into @p data. On entry
    /// @p size is the room in @p data; on return it is the number of bytes
    /// stored (on RegistryStatus::MoreData: the number needed, nothing stored)
    /// and @p type the value's type. Returns 0 on success, else a Windows error code.
    virtual long queryValue(RegistryHandle key, const std::string &name, std::uint32_t &type,
                            unsigned char *data, std::uint32_t &size) = 0;

    /// Closes @p key. Closing 0, or a key whose opening failed, does no harm.
    virtual void closeKey(RegistryHandle key) = 0;
};

/// Starting programs as processes of their own.
class ProcessStarter
{
public:
    virtual ~ProcessStarter() = default;

    /// Starts the program at the full path @p path, with no arguments, as a
    /// separate process in a normal window that takes the focus, and returns at
    /// once without waiting for it. Returns false when it could not be started
    /// (an empty path, a missing or non-executable file).
    virtual bool startDetached(const std::string &path) = 0;

    /// The folders in which programs are looked for, in the session's order
    /// (the PATH of the environment); empty folders are left out.
    [[nodiscard]] virtual std::vector<std::string> searchFolders() const = 0;
};

/// Tests on files of the file system.
class FileProbe
{
public:
    virtual ~FileProbe() = default;

    /// Whether @p path names an existing ordinary file (not a folder; on
    /// Windows neither hidden nor a system file).
    [[nodiscard]] virtual bool fileExists(const std::string &path) const = 0;
};

/// Where a system keeps its system-information programs when the registry does
/// not name one.
struct WellKnownPrograms
{
    std::vector<std::string> fullPaths; ///< looked at first, in this order
    std::vector<std::string> names;     ///< then looked up in each search folder
};

/// This system's well-known system-information programs (none on Windows,
/// where the registry names the program).
[[nodiscard]] WellKnownPrograms systemInformationPrograms();

/// The registry of this system; on a system without one every key is missing.
class SystemRegistry final : public Registry
{
public:
    long openKey(RegistryRoot root, const std::string &subKey, RegistryHandle &key) override;
    long queryValue(RegistryHandle key, const std::string &name, std::uint32_t &type,
                    unsigned char *data, std::uint32_t &size) override;
    void closeKey(RegistryHandle key) override;
};

/// Starts programs through the system's own process creation.
class SystemProcessStarter final : public ProcessStarter
{
public:
    bool startDetached(const std::string &path) override;
    [[nodiscard]] std::vector<std::string> searchFolders() const override;
};

/// Looks at the real file system.
class SystemFileProbe final : public FileProbe
{
public:
    [[nodiscard]] bool fileExists(const std::string &path) const override;
};

} // namespace velumbra
