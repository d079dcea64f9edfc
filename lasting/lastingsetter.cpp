#include "lastingsetter.h"

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

bool LastingWallpaperSetter::saveAndSync(const LastingRecord &record, std::string &why)
{
    if (!m_store.save(record, why))
        return false;
    // The entry runs at login only while something is owed.
    if (!record.empty() && !m_autostart.installed())
        return m_autostart.install(why);
    if (record.empty() && m_autostart.installed())
        return m_autostart.remove(why);
    return true;
}

WallpaperResult LastingWallpaperSetter::changeUntilLogoff(LastingSetting what,
                                                          const std::string &path)
{
    const auto change = [&] {
        return what == LastingSetting::Wallpaper
                   ? m_desktop.setWallpaper(path, WallpaperLifetime::UntilLogoff)
                   : m_desktop.disableScreenSaver();
    };
    const std::string unchanged = what == LastingSetting::Wallpaper
                                      ? " : le papier peint reste inchangé."
                                      : " : l'économiseur d'écran reste actif.";
    std::string why;
    auto record = m_store.load(why);
    if (!record)
        return WallpaperResult::failure(why + unchanged.substr(1));
    const std::string entry = entryName(what);
    // Only the first change of a session records: later ones would record a
    // value that was itself temporary.
    const bool first = !record->contains(entry);
    if (first) {
        auto lasting = m_desktop.readLasting(what, why);
        if (!lasting)
            return WallpaperResult::failure(
                "Le réglage actuel du bureau ne peut pas être relevé pour être "
                "rétabli plus tard (" +
                why + ")" + unchanged);
        (*record)[entry] = *lasting;
        if (!saveAndSync(*record, why)) {
            record->erase(entry);
            std::string ignored;
            (void)saveAndSync(*record, ignored);
            return WallpaperResult::failure(
                "Le réglage actuel du bureau ne peut pas être mis de côté (" + why + ")" +
                unchanged);
        }
    }
    WallpaperResult result = change();
    std::string ignored;
    if (!result.ok) {
        // The desktop kept its value: nothing new is owed.
        if (first) {
            record->erase(entry);
            (void)saveAndSync(*record, ignored);
        }
        return result;
    }
    // What the desktop holds now tells, at restore time, whether the user
    // has since chosen a wallpaper of their own, which must then stay.
    if (auto now = m_desktop.readLasting(what, ignored)) {
        (*record)[entry + kSetSuffix] = *now;
        (void)saveAndSync(*record, ignored);
    }
    return result;
}

WallpaperResult LastingWallpaperSetter::setWallpaper(const std::string &path,
                                                     WallpaperLifetime lifetime)
{
    const LifetimeSupport support = m_desktop.lifetimeSupport(LastingSetting::Wallpaper);
    if (support == LifetimeSupport::Native)
        return m_desktop.setWallpaper(path, lifetime);
    if (lifetime == WallpaperLifetime::UntilLogoff) {
        if (support == LifetimeSupport::SessionOnly)
            return m_desktop.setWallpaper(path, lifetime);
        return changeUntilLogoff(LastingSetting::Wallpaper, path);
    }

    WallpaperResult result = m_desktop.setWallpaper(path, lifetime);
    if (!result.ok)
        return result;
    std::string why;
    auto record = m_store.load(why);
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
        if (saveAndSync(*record, why))
            return result;
    }
    return WallpaperResult::failure(
        support == LifetimeSupport::StoredOnly
            ? "Le papier peint est changé, mais l'ancien risque de revenir à la "
              "prochaine session (" +
                  why + ")."
            : "Le papier peint est changé pour cette session seulement : il ne "
              "peut pas être noté pour les suivantes (" +
                  why + ").");
}

WallpaperResult LastingWallpaperSetter::disableScreenSaver()
{
    if (m_desktop.lifetimeSupport(LastingSetting::ScreenSaver) != LifetimeSupport::StoredOnly)
        return m_desktop.disableScreenSaver();
    return changeUntilLogoff(LastingSetting::ScreenSaver, {});
}

WallpaperResult LastingWallpaperSetter::restoreAtLogin()
{
    return restore(true);
}

WallpaperResult LastingWallpaperSetter::restoreAtSessionEnd()
{
    return restore(false);
}

WallpaperResult LastingWallpaperSetter::restore(bool atLogin)
{
    std::string why;
    std::vector<std::string> problems;
    auto record = m_store.load(why);
    const auto before = record;
    if (!record) {
        if (!atLogin)
            return WallpaperResult::failure(why);
        // A record that cannot be read can never be used: start afresh.
        problems.push_back(why + " Il est effacé.");
        record = LastingRecord{};
    }
    for (const LastingSetting what : {LastingSetting::Wallpaper, LastingSetting::ScreenSaver}) {
        const auto it = record->find(entryName(what));
        if (it == record->end())
            continue;
        const auto set = record->find(entryName(what) + kSetSuffix);
        std::string ignored;
        const auto now = set == record->end() ? std::nullopt : m_desktop.readLasting(what, ignored);
        const bool userChanged = now && *now != set->second;
        const WallpaperResult done = userChanged ? WallpaperResult::success()
                                                 : m_desktop.restoreLasting(what, it->second);
        // At login the step runs once: a value the desktop refuses now would
        // otherwise come back at some surprising later login.
        if (done.ok || atLogin) {
            record->erase(it);
            record->erase(entryName(what) + kSetSuffix);
        }
        if (!done.ok)
            problems.push_back(done.reason);
    }
    if (atLogin) {
        const auto it = record->find(lastingWallpaperEntry());
        if (it != record->end()) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(std::filesystem::path(it->second), ec)) {
                problems.push_back("L'image « " + it->second +
                                   " » n'existe plus : elle ne sera plus remise en papier peint.");
                record->erase(it);
            } else if (const WallpaperResult shown =
                           m_desktop.setWallpaper(it->second, WallpaperLifetime::ForGood);
                       !shown.ok) {
                problems.push_back(shown.reason);
            }
        }
    }
    const bool unchanged = record == before && (record->empty() != m_autostart.installed());
    if (!unchanged && !saveAndSync(*record, why))
        problems.push_back(why);
    return problems.empty() ? WallpaperResult::success()
                            : WallpaperResult::failure(joined(problems));
}

} // namespace velumbra
