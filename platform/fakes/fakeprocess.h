// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/process.h"

#include <set>
#include <string>
#include <vector>

namespace velumbra {

/// Records the programs it is asked to start; only those listed as startable start.
class FakeProcessStarter final : public ProcessStarter
{
public:
    std::set<std::string> startable;
    std::vector<std::string> folders;
    std::vector<std::string> started; ///< every attempt, successful or not

    bool startDetached(const std::string &path) override
    {
        started.push_back(path);
        return startable.count(path) != 0;
    }
    [[nodiscard]] std::vector<std::string> searchFolders() const override { return folders; }
};

} // namespace velumbra
