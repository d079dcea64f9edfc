// SPDX-License-Identifier: GPL-3.0-or-later
#include "lasting/lastingsetter.h"

#include <filesystem>
#include <vector>

namespace velumbra {
namespace {

// Beside each owed value: what Velumbra's own change left in the desktop.
constexpr const char *kSetSuffix = ".set";

std::string joined(const std::vector<std::string> &lines)
{
    std::string out;
    for (const std::string &line : lines)
        out += (out.empty() ? "" : "\n") + line;
    return out;
}

} // namespace

LastingWallpaperSetter::LastingWallpaperSetter(WallpaperSetter &desktop, LastingStore &store,
                                               AutostartEntry &autostart)
    : m_desktop(desktop), m_store(store), m_autostart(autostart)
{
}

std::string LastingWallpaperSetter::entryName(LastingSetting what) const
{
    return m_desktop.name() + (what == LastingSetting::Wallpaper ? ".wallpaper" : ".screensaver");
}

std::string LastingWallpaperSetter::lastingWallpaperEntry() const
{
    return m_desktop.name() + ".lasting-wallpaper";
}

Result<> LastingWallpaperSetter::saveAndSync(const LastingRecord &record)
{
    if (Result<> saved = m_store.save(record); !saved)
        return saved;
    // The entry runs at login only while something is owed, and runs this
    // installation's restore step (an older one may be gone).
    if (!record.empty() && !m_autostart.current())
        return m_autostart.install();
    if (record.empty() && m_autostart.installed())
        return m_autostart.remove();
    return Result<>::success();
}

Result<> LastingWallpaperSetter::changeUntilLogoff(LastingSetting what, const std::string &path)
{
    const auto change = [&] {
        return what == LastingSetting::Wallpaper
                   ? m_desktop.setWallpaper(path, WallpaperLifetime::UntilLogoff)
                   : m_desktop.disableScreenSaver();
    };
    const std::string unchanged = what == LastingSetting::Wallpaper
                                      ? " : le papier peint reste inchangé."
                                      : " : l'économiseur d'écran reste actif.";
    auto record = m_store.load();
    if (!record)
        return Failure{record.reason() + unchanged.substr(1)};
    const std::string entry = entryName(what);
    // Only the first change of a session records: later ones would record a
    // value that was itself temporary.
    const bool first = !record->contains(entry);
    if (first) {
        auto lasting = m_desktop.readLasting(what);
        if (!lasting)
            return Failure{"Le réglage actuel du bureau ne peut pas être relevé pour être "
                           "rétabli plus tard (" +
                           lasting.reason() + ")" + unchanged};
        (*record)[entry] = *lasting;
        if (const Result<> saved = saveAndSync(*record); !saved) {
            record->erase(entry);
            (void)saveAndSync(*record);
            return Failure{"Le réglage actuel du bureau ne peut pas être mis de côté (" +
                           saved.reason() + ")" + unchanged};
        }
    }
    Result<> result = change();
    if (!result.ok()) {
        // The desktop kept its value: nothing new is owed.
        if (first) {
            record->erase(entry);
            (void)saveAndSync(*record);
        }
        return result;
    }
    // What the desktop holds now tells, at restore time, whether the user
    // has since chosen a wallpaper of their own, which must then stay.
    if (auto now = m_desktop.readLasting(what)) {
        (*record)[entry + kSetSuffix] = *now;
        (void)saveAndSync(*record);
    }
    return result;
}

Result<> LastingWallpaperSetter::setWallpaper(const std::string &path, WallpaperLifetime lifetime)
{
    const LifetimeSupport support = m_desktop.lifetimeSupport(LastingSetting::Wallpaper);
    if (support == LifetimeSupport::Native)
        return m_desktop.setWallpaper(path, lifetime);
    if (lifetime == WallpaperLifetime::UntilLogoff) {
        if (support == LifetimeSupport::SessionOnly)
            return m_desktop.setWallpaper(path, lifetime);
        return changeUntilLogoff(LastingSetting::Wallpaper, path);
    }

    Result<> result = m_desktop.setWallpaper(path, lifetime);
    if (!result.ok())
        return result;
    auto record = m_store.load();
    std::string why = record.reason();
    if (record) {
        if (support == LifetimeSupport::StoredOnly) {
            // The new picture is the lasting one now: nothing to put back.
            record->erase(entryName(LastingSetting::Wallpaper));
            record->erase(entryName(LastingSetting::Wallpaper) + kSetSuffix);
        } else {
            std::error_code ec;
            const auto absolute = std::filesystem::absolute(std::filesystem::path(path), ec);
            (*record)[lastingWallpaperEntry()] = ec ? path : absolute.string();
        }
        const Result<> saved = saveAndSync(*record);
        if (saved)
            return result;
        why = saved.reason();
    }
    return Failure{support == LifetimeSupport::StoredOnly
                       ? "Le papier peint est changé, mais l'ancien risque de revenir à la "
                         "prochaine session (" +
                             why + ")."
                       : "Le papier peint est changé pour cette session seulement : il ne "
                         "peut pas être noté pour les suivantes (" +
                             why + ")."};
}

Result<> LastingWallpaperSetter::disableScreenSaver()
{
    if (m_desktop.lifetimeSupport(LastingSetting::ScreenSaver) != LifetimeSupport::StoredOnly)
        return m_desktop.disableScreenSaver();
    return changeUntilLogoff(LastingSetting::ScreenSaver, {});
}

Result<> LastingWallpaperSetter::restoreAtLogin()
{
    return restore(true);
}

Result<> LastingWallpaperSetter::restoreAtSessionEnd()
{
    return restore(false);
}

Result<> LastingWallpaperSetter::restore(bool atLogin)
{
    std::vector<std::string> problems;
    const Result<LastingRecord> loaded = m_store.load();
    if (!loaded && !atLogin)
        return Failure{loaded.reason()};
    // A record that cannot be read can never be used: start afresh.
    if (!loaded)
        problems.push_back(loaded.reason() + " Il est effacé.");
    const std::optional<LastingRecord> before =
        loaded ? std::optional<LastingRecord>(*loaded) : std::nullopt;
    std::optional<LastingRecord> record = loaded ? *loaded : LastingRecord{};
    for (const LastingSetting what : {LastingSetting::Wallpaper, LastingSetting::ScreenSaver}) {
        const auto it = record->find(entryName(what));
        if (it == record->end())
            continue;
        const auto set = record->find(entryName(what) + kSetSuffix);
        const bool userChanged = set != record->end() && [&] {
            const Result<std::string> now = m_desktop.readLasting(what);
            return now && *now != set->second;
        }();
        const Result<> done =
            userChanged ? Result<>::success() : m_desktop.restoreLasting(what, it->second);
        // At login the step runs once: a value the desktop refuses now would
        // otherwise come back at some surprising later login.
        if (done.ok() || atLogin) {
            record->erase(it);
            record->erase(entryName(what) + kSetSuffix);
        }
        if (!done.ok())
            problems.push_back(done.reason());
    }
    if (atLogin) {
        const auto it = record->find(lastingWallpaperEntry());
        if (it != record->end()) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(std::filesystem::path(it->second), ec)) {
                problems.push_back("L'image « " + it->second +
                                   " » n'existe plus : elle ne sera plus remise en papier peint.");
                record->erase(it);
            } else if (const Result<> shown =
                           m_desktop.setWallpaper(it->second, WallpaperLifetime::ForGood);
                       !shown.ok()) {
                problems.push_back(shown.reason());
            }
        }
    }
    const bool unchanged =
        record == before && (record->empty() ? !m_autostart.installed() : m_autostart.current());
    if (!unchanged)
        if (const Result<> saved = saveAndSync(*record); !saved)
            problems.push_back(saved.reason());
    return problems.empty() ? Result<>::success() : Failure{joined(problems)};
}

} // namespace velumbra
