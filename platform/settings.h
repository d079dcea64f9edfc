// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <string>
#include <string_view>

namespace velumbra {

/// The failure of a commit that could not write @p location (the file or
/// registry key) for @p reason (a French fragment such as "permission
/// refusée"): one sentence naming both.
[[nodiscard]] Failure settingsNotSaved(std::string_view location, std::string_view reason);

/// Per-user store of string values addressed by application, section and key.
///
/// Reads never fail: an absent or unreadable key yields the empty string.
/// Writes are queued and reach the store only with commit(), all at once, so a
/// failure never leaves the store half-written.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    /// The value of @p key, or "" when it is absent or not a string.
    [[nodiscard]] virtual std::string read(std::string_view section,
                                           std::string_view key) const = 0;

    /// Queues @p value for @p key; nothing is stored before commit().
    virtual void write(std::string_view section, std::string_view key, std::string_view value) = 0;

    /// Stores every queued value in one piece. On failure the previous content
    /// stays as it was and the failure (settingsNotSaved()) says where and why.
    [[nodiscard]] virtual Result<> commit() = 0;
};

} // namespace velumbra
