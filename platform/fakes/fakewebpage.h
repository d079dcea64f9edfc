// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/webpage.h"

#include <vector>

namespace velumbra {

/// Records the addresses it was asked to open; no browser is started.
class FakeWebPageOpener final : public WebPageOpener
{
public:
    std::vector<std::string> opened;
    void open(const std::string &address) override { opened.push_back(address); }
};

} // namespace velumbra
