// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>

namespace velumbra {

// What Velumbra owes the desktops at the next login, by entry name
// ("gnome.wallpaper", "x11.lasting-wallpaper", ...).
using LastingRecord = std::map<std::string, std::string>;

// The record as the text of its file: a header line, then one "name=value"
// line per entry, with "\\" and line breaks escaped.
[[nodiscard]] std::string formatLastingRecord(const LastingRecord &record);

// The largest record file read or written: what every desktop that exists
// could owe, each value a path of the longest length Linux allows, many
// times over (16 monitors of 32 workspaces on XFCE take about 2 MB).
inline constexpr std::size_t kLargestLastingRecord = std::size_t(4) << 20;

// The record in @p text; nothing when the text is not such a record. Lines
// that are not entries are skipped.
[[nodiscard]] std::optional<LastingRecord> parseLastingRecord(const std::string &text);

// Keeps the record where it survives a crash: every save replaces the whole
// file at once, and an empty record removes it.
class LastingStore
{
public:
    virtual ~LastingStore() = default;
    // The saved record (empty when there is none).
    [[nodiscard]] virtual Result<LastingRecord> load() = 0;
    [[nodiscard]] virtual Result<> save(const LastingRecord &record) = 0;
};

// The entry that runs the restore step at each login.
class AutostartEntry
{
public:
    virtual ~AutostartEntry() = default;
    [[nodiscard]] virtual bool installed() const = 0;
    // Installed, and running this installation's restore step.
    [[nodiscard]] virtual bool current() const = 0;
    [[nodiscard]] virtual Result<> install() = 0;
    [[nodiscard]] virtual Result<> remove() = 0;
};

// @p program as one argument of a desktop entry's Exec key, quoted where the
// entry's rules need it and escaped for the entry's string syntax; refused
// when it holds a control character or is not UTF-8, which no entry can carry.
[[nodiscard]] Result<std::string> desktopEntryExec(const std::string &program);

// The autostart file's whole text for @p program.
[[nodiscard]] Result<std::string> autostartEntryText(const std::string &program);

// Where the record and the autostart entry live, from the XDG variables
// (empty ones count as unset) and HOME.
struct LastingPaths
{
    std::string recordFile;    // $XDG_STATE_HOME/velumbra/lasting
    std::string autostartFile; // $XDG_CONFIG_HOME/autostart/velumbra-restore.desktop
};
[[nodiscard]] LastingPaths lastingPaths(const std::string &home, const std::string &stateHome,
                                        const std::string &configHome);

} // namespace velumbra
