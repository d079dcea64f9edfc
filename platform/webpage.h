// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace velumbra {

/// Opening a page in the user's web browser.
class WebPageOpener
{
public:
    virtual ~WebPageOpener() = default;

    /// Hands @p address (a URL, or the full path of a local HTML file; UTF-8)
    /// to the user's browser and returns at once. Whether a browser opens is
    /// not reported: nothing is shown to the user when it fails.
    virtual void open(const std::string &address) = 0;
};

/// The desktop's own way of opening web pages.
class SystemWebPageOpener final : public WebPageOpener
{
public:
    void open(const std::string &address) override;
};

} // namespace velumbra
