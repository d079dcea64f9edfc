// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/settings.h"

#include <map>
#include <string>
#include <vector>

namespace velumbra {

/// The settings store kept by QSettings in its native place: on Linux
/// $XDG_CONFIG_HOME/Velumbra/Velumbra.conf, on Windows the user's registry
/// under Software\Velumbra\Velumbra.
class QtSettingsStore final : public SettingsStore
{
public:
    QtSettingsStore();

    [[nodiscard]] std::string read(std::string_view section, std::string_view key) const override;
    void write(std::string_view section, std::string_view key, std::string_view value) override;
    [[nodiscard]] Result<> commit() override;

private:
    std::map<std::string, std::string> m_pending; // "Section/Key" -> value, in key order
    std::vector<std::string> m_order;             // keys as they were written
};

} // namespace velumbra
