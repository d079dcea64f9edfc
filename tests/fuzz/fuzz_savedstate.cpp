// The state a previous run left in the settings, whatever the file held:
// the choices come back as a button index or nothing.

#include "app/core/savedstate.h"
#include "platform/fakes/fakesettings.h"
#include "tests/fuzz/fuzz.h"

VELUMBRA_FUZZ_TARGET(text)
{
    velumbra::FakeSettingsStore store;
    store.values["Init/AUTEUR"] = std::string(velumbra::kSettingsMarker);
    std::size_t start = 0; // one line a key
    for (const char *key : {"Drive", "Folder", "Pattern", "FileName", "Option", "Time", "Unites"}) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        store.values[std::string("Init/") + key] = std::string(text.substr(start, end - start));
        start = std::min(end + 1, text.size());
    }
    const auto saved = velumbra::readSavedState(store);
    FUZZ_CHECK(saved.has_value());
    for (const auto &choice : {saved->option, saved->unites})
        FUZZ_CHECK(!choice || (*choice >= 0 && *choice <= 2));
}
