// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/core/savedstate.h"

#include "platform/settings.h"
#include "rotation/numberreader.h"

#include <cmath>

namespace velumbra {

std::optional<SavedState> readSavedState(const SettingsStore &store)
{
    if (store.read(kSettingsSection, "AUTEUR") != kSettingsMarker)
        return std::nullopt;
    SavedState s;
    s.drive = store.read(kSettingsSection, "Drive");
    s.folder = store.read(kSettingsSection, "Folder");
    s.pattern = store.read(kSettingsSection, "Pattern");
    s.fileName = store.read(kSettingsSection, "FileName");
    s.option = storedChoice(store.read(kSettingsSection, "Option"));
    s.time = store.read(kSettingsSection, "Time");
    s.unites = storedChoice(store.read(kSettingsSection, "Unites"));
    return s;
}

void writeWindowState(SettingsStore &store, const WindowState &state)
{
    store.write(kSettingsSection, "AUTEUR", kSettingsMarker);
    store.write(kSettingsSection, "Drive", state.drive);
    store.write(kSettingsSection, "Folder", state.folder);
    store.write(kSettingsSection, "Pattern", state.pattern);
    store.write(kSettingsSection, "FileName", state.fileName);
    store.write(kSettingsSection, "Option", choiceToStore(state.option));
    store.write(kSettingsSection, "Time", state.time);
    store.write(kSettingsSection, "Unites", choiceToStore(state.unites));
}

std::optional<int> storedChoice(std::string_view text)
{
    const double x = readNumber(text);
    if (!std::isfinite(x) || x < -0.5 || x > 2.5)
        return std::nullopt;
    const double rounded = std::nearbyint(x); // the default rounding mode sends halves to even
    return rounded == 0.0 ? 0 : int(rounded);
}

std::string choiceToStore(int selectedIndex)
{
    if (selectedIndex == 0)
        return "0";
    if (selectedIndex == 1)
        return "1";
    return "2";
}

} // namespace velumbra
