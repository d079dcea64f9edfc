// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files.h"

#include <set>
#include <string>
#include <vector>

namespace velumbra {

/// Files that exist only because the test says so.
class FakeFileProbe final : public FileProbe
{
public:
    std::set<std::string> files;
    mutable std::vector<std::string> asked;

    [[nodiscard]] bool fileExists(const std::string &path) const override
    {
        asked.push_back(path);
        return files.count(path) != 0;
    }
};

} // namespace velumbra
