#pragma once

#include "lastingrecord.h"

namespace velumbra {

// The record in a file of its own, replaced whole through a temporary file,
// so that a crash leaves either the old record or the new one.
class FileLastingStore final : public LastingStore
{
public:
    explicit FileLastingStore(std::string path) : m_path(std::move(path)) {}

    [[nodiscard]] std::optional<LastingRecord> load(std::string &why) override;
    [[nodiscard]] bool save(const LastingRecord &record, std::string &why) override;

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
    [[nodiscard]] bool install(std::string &why) override;
    [[nodiscard]] bool remove(std::string &why) override;

private:
    std::string m_path;
    std::string m_program;
};

} // namespace velumbra
