// SPDX-License-Identifier: GPL-3.0-or-later
// The state a previous run left in the settings, whatever the file held:
// the choices come back as a button index or nothing.

#include "app/core/savedstate.h"
#include "platform/fakes/fakesettings.h"
#include "tests/fuzz/fuzz.h"

VELUMBRA_FUZZ_TARGET(text)
{
    velumbra::FakeSettingsStore store;
    store.values["Init/AUTEUR"] = std::string(velumbra::kSettingsMarker);
    const auto lines = fields(text, '\n'); // one line a key
    const char *keys[] = {"Drive", "Folder", "Pattern", "FileName", "Option", "Time", "Unites"};
    for (std::size_t i = 0; i < std::size(keys); ++i)
        store.values[std::string("Init/") + keys[i]] = i < lines.size() ? lines[i] : "";
    const auto saved = velumbra::readSavedState(store);
    FUZZ_CHECK(saved.has_value());
    for (const auto &choice : {saved->option, saved->unites})
        FUZZ_CHECK(!choice || (*choice >= 0 && *choice <= 2));
}
