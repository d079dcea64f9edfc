// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/registry.h"

#include <cstring>
#include <map>
#include <set>
#include <utility>

namespace velumbra {

/// A registry held in memory that answers like the Windows one: missing keys
/// and values, values too long for the caller's buffer, and a record of every
/// key opened and closed.
class FakeRegistry final : public Registry
{
public:
    struct Value
    {
        std::uint32_t type = RegistryType::String;
        std::string bytes;
    };
    using KeyPath = std::pair<RegistryRoot, std::string>;

    std::map<KeyPath, std::map<std::string, Value>> keys;
    std::set<KeyPath> deniedKeys; ///< exist but refuse to be opened
    int opened = 0;
    std::vector<RegistryHandle> closed;

    void set(RegistryRoot root, const std::string &key, const std::string &name, Value value)
    {
        keys[{root, key}][name] = std::move(value);
    }

    long openKey(RegistryRoot root, const std::string &subKey, RegistryHandle &key) override
    {
        key = 0;
        if (deniedKeys.count({root, subKey}) != 0)
            return RegistryStatus::AccessDenied;
        const auto found = keys.find({root, subKey});
        if (found == keys.end())
            return RegistryStatus::FileNotFound;
        ++opened;
        m_open[static_cast<RegistryHandle>(opened) + 100] = found->first;
        key = static_cast<RegistryHandle>(opened) + 100;
        return RegistryStatus::Success;
    }

    long queryValue(RegistryHandle key, const std::string &name, std::uint32_t &type,
                    unsigned char *data, std::uint32_t &size) override
    {
        const auto open = m_open.find(key);
        if (open == m_open.end())
            return RegistryStatus::InvalidHandle;
        const auto &values = keys.at(open->second);
        const auto value = values.find(name);
        if (value == values.end())
            return RegistryStatus::FileNotFound;
        type = value->second.type;
        const std::uint32_t needed = static_cast<std::uint32_t>(value->second.bytes.size());
        const std::uint32_t room = size;
        size = needed;
        if (needed > room)
            return RegistryStatus::MoreData;
        std::memcpy(data, value->second.bytes.data(), needed);
        return RegistryStatus::Success;
    }

    void closeKey(RegistryHandle key) override
    {
        closed.push_back(key);
        m_open.erase(key);
    }

    /// Keys opened and not closed since.
    [[nodiscard]] std::size_t stillOpen() const { return m_open.size(); }

private:
    std::map<RegistryHandle, KeyPath> m_open;
};

} // namespace velumbra
