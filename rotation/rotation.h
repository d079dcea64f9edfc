// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velumbra {

class Clock;
class RandomSource;

/// What the rotation needs of the window: the file list, the preview and
/// caption, the wallpaper, and a way to let pending events run.
class RotationView
{
public:
    virtual ~RotationView() = default;

    [[nodiscard]] virtual std::int64_t fileCount() const = 0;
    /// The full path of entry @p index of the file list in the folder list's folder.
    [[nodiscard]] virtual std::string filePath(std::int64_t index) const = 0;
    /// Lets the event loop handle what is pending, once.
    virtual void processPendingEvents() = 0;
    /// True once the program is ending: a tick still running gives up.
    [[nodiscard]] virtual bool isEnding() const = 0;
    /// Makes @p path the current file: preview, caption, tray tip.
    virtual void showCurrentFile(const std::string &path) = 0;
    /// Sets @p path as the wallpaper until logoff; failures go unnoticed.
    virtual void setWallpaperUntilLogoff(const std::string &path) = 0;
};

/// The timed random rotation: one draw per tick, a change when it is due.
class Rotation
{
public:
    Rotation(const Clock &clock, RandomSource &random);

    /// One tick of the one-second timer. Draws an index different from the
    /// previous tick's (with two files or more), and when the due time has come
    /// makes that file the wallpaper and sets the next due time one
    /// @p intervalDays later. Returns true when the wallpaper changed.
    bool tick(RotationView &view, double intervalDays);

    /// When the next change is due, as a date-time value; 0 before the first.
    [[nodiscard]] double nextChange() const { return m_prochainChangement; }
    /// The index drawn at the previous tick, or nothing before the first draw.
    [[nodiscard]] std::optional<std::int64_t> lastIndex() const { return m_dernierIndex; }

private:
    const Clock &m_clock;
    RandomSource &m_random;
    double m_prochainChangement = 0.0;
    std::optional<std::int64_t> m_dernierIndex;
};

} // namespace velumbra
