// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/settings.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velumbra {

/// An in-memory settings store that records every committed write in order
/// and can be told to fail.
class FakeSettingsStore final : public SettingsStore
{
public:
    std::map<std::string, std::string> values; ///< "Section/Key" -> value
    std::vector<std::pair<std::string, std::string>>
        committed;                   ///< every write that reached the store
    std::optional<Failure> failWith; ///< what every commit answers, when set

    [[nodiscard]] std::string read(std::string_view section, std::string_view key) const override
    {
        const auto it = values.find(join(section, key));
        return it == values.end() ? std::string() : it->second;
    }
    void write(std::string_view section, std::string_view key, std::string_view value) override
    {
        m_pending.emplace_back(join(section, key), std::string(value));
    }
    [[nodiscard]] Result<> commit() override
    {
        auto pending = std::move(m_pending);
        m_pending.clear();
        if (failWith)
            return *failWith;
        for (auto &kv : pending) {
            values[kv.first] = kv.second;
            committed.push_back(std::move(kv));
        }
        return Result<>::success();
    }

    static std::string join(std::string_view section, std::string_view key)
    {
        return std::string(section) + "/" + std::string(key);
    }

private:
    std::vector<std::pair<std::string, std::string>> m_pending;
};

} // namespace velumbra
