// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace velumbra {

/// Tests on files of the file system.
class FileProbe
{
public:
    virtual ~FileProbe() = default;

    /// Whether @p path names an existing ordinary file (not a folder; on
    /// Windows neither hidden nor a system file).
    [[nodiscard]] virtual bool fileExists(const std::string &path) const = 0;
};

/// Looks at the real file system.
class SystemFileProbe final : public FileProbe
{
public:
    [[nodiscard]] bool fileExists(const std::string &path) const override;
};

} // namespace velumbra
