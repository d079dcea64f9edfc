// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velumbra {

class SettingsStore;

inline constexpr std::string_view kSettingsSection = "Init";
inline constexpr std::string_view kSettingsMarker = "Ardeval Quennet";

/// What the previous run left in the store, as the load handler restores it.
struct SavedState
{
    std::string drive;
    std::string folder;
    std::string pattern;
    std::string fileName;
    std::optional<int> option; ///< mode index 0-2, nothing when the stored text names none
    std::string time;
    std::optional<int> unites; ///< unit index 0-2, nothing when the stored text names none
};

/// The state of the window's controls at the moment it is unloaded.
struct WindowState
{
    std::string drive;
    std::string folder;
    std::string pattern;
    std::string fileName;
    int option = 2; ///< index of the selected mode button, -1 when none
    std::string time;
    int unites = 1; ///< index of the selected unit button, -1 when none
};

/// The saved state, or nothing unless the store carries exactly the marker.
[[nodiscard]] std::optional<SavedState> readSavedState(const SettingsStore &store);

/// Queues the eight keys in their fixed order, marker first (commit separately).
void writeWindowState(SettingsStore &store, const WindowState &state);

/// A stored choice read as a number, taken to the nearest whole number (a half
/// to the even neighbour); nothing unless that is 0, 1 or 2.
[[nodiscard]] std::optional<int> storedChoice(std::string_view text);

/// How a selected option index is stored: "0", "1", and "2" for anything else.
[[nodiscard]] std::string choiceToStore(int selectedIndex);

} // namespace velumbra
