// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/pcmanfm.h"

namespace velumbra {

// LXDE's desktop, drawn by pcmanfm --desktop, through pcmanfm's own
// command; its file is pcmanfm/PROFILE/desktop-items-0.conf.
class LxdeSetter final : public PcmanfmDesktopSetter
{
public:
    using PcmanfmDesktopSetter::PcmanfmDesktopSetter;
    [[nodiscard]] std::string name() const override { return "lxde"; }

private:
    [[nodiscard]] Result<std::string> runningProfile() const override;
    [[nodiscard]] StoredPicture stored(const std::string &profile) const override;
    [[nodiscard]] Result<> show(const std::string &profile, const std::string &path,
                                const std::string &mode) override;
    [[nodiscard]] Result<> writeStopped(const StoredPicture &picture) override;
    [[nodiscard]] Result<std::string> keptName(const std::string &path) override;
};

} // namespace velumbra
