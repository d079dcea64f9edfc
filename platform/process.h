// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace velumbra {

/// Starting programs as processes of their own.
class ProcessStarter
{
public:
    virtual ~ProcessStarter() = default;

    /// Starts the program at the full path @p path, with no arguments, as a
    /// separate process in a normal window that takes the focus, and returns at
    /// once without waiting for it. Returns false when it could not be started
    /// (an empty path, a missing or non-executable file).
    virtual bool startDetached(const std::string &path) = 0;

    /// The folders in which programs are looked for, in the session's order
    /// (the PATH of the environment); empty folders are left out.
    [[nodiscard]] virtual std::vector<std::string> searchFolders() const = 0;
};

/// Starts programs through the system's own process creation.
class SystemProcessStarter final : public ProcessStarter
{
public:
    bool startDetached(const std::string &path) override;
    [[nodiscard]] std::vector<std::string> searchFolders() const override;
};

/// The folders where this system installs its programs: /usr/bin on Linux;
/// none on Windows, whose registry names the programs it has.
[[nodiscard]] std::vector<std::string> standardProgramFolders();

} // namespace velumbra
