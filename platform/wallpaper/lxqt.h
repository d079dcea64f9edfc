// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/pcmanfm.h"

namespace velumbra {

// LXQt's desktop, drawn by pcmanfm-qt --desktop, over the session bus; its
// file is pcmanfm-qt/PROFILE/settings.conf.
class LxqtSetter final : public PcmanfmDesktopSetter
{
public:
    using PcmanfmDesktopSetter::PcmanfmDesktopSetter;
    [[nodiscard]] std::string name() const override { return "lxqt"; }

private:
    [[nodiscard]] Result<std::string> runningProfile() const override;
    [[nodiscard]] StoredPicture stored(const std::string &profile) const override;
    [[nodiscard]] Result<> show(const std::string &profile, const std::string &path,
                                const std::string &mode) override;
    [[nodiscard]] Result<> writeStopped(const StoredPicture &picture) override;
    [[nodiscard]] std::string forGoodProblem(const std::string &profile) const override;
};

// @p value as pcmanfm-qt's settings file holds it: pcmanfm-qt is built with
// Qt 5, whose INI reader takes the file as Latin-1, so everything outside
// ASCII is escaped the way Qt 5 writes it ("\xe9"), and a value with ';',
// ',' or '=' is quoted.
[[nodiscard]] std::string qt5IniValue(const std::string &value);

} // namespace velumbra
