// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

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

/// The registry of this system; on a system without one every key is missing.
class SystemRegistry final : public Registry
{
public:
    long openKey(RegistryRoot root, const std::string &subKey, RegistryHandle &key) override;
    long queryValue(RegistryHandle key, const std::string &name, std::uint32_t &type,
                    unsigned char *data, std::uint32_t &size) override;
    void closeKey(RegistryHandle key) override;
};

} // namespace velumbra
