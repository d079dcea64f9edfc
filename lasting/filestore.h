// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lasting/lastingrecord.h"

namespace velumbra {

// The record in a file of its own, replaced whole through a temporary file,
// so that a crash leaves either the old record or the new one.
class FileLastingStore final : public LastingStore
{
public:
    explicit FileLastingStore(std::string path) : m_path(std::move(path)) {}

    [[nodiscard]] Result<LastingRecord> load() override;
    [[nodiscard]] Result<> save(const LastingRecord &record) override;

private:
    std::string m_path;
};

// The XDG autostart file that runs velumbra-restore at login.
class XdgAutostartEntry final : public AutostartEntry
{
public:
    XdgAutostartEntry(std::string path, std::string program)
        : m_path(std::move(path)), m_program(std::move(program))
    {
    }

    [[nodiscard]] bool installed() const override;
    [[nodiscard]] bool current() const override;
    [[nodiscard]] Result<> install() override;
    [[nodiscard]] Result<> remove() override;

private:
    std::string m_path;
    std::string m_program;
};

} // namespace velumbra
