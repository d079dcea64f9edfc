// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/lxde.h"
#include "platform/wallpaper/desktopprocess.h"
#include "platform/wallpaper/x11root.h"

#include <QProcess>
#include <QStandardPaths>

#include <glib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace velumbra {
namespace {

namespace fs = std::filesystem;
constexpr int kCommandPatienceMs = 10000;
constexpr auto kStoredPatience = std::chrono::seconds(5);
const char *const kGroup = "*";

std::string itemsFile(const std::string &profile)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
           "/pcmanfm/" + profile + "/desktop-items-0.conf";
}

std::string takeString(gchar *value)
{
    std::string s = value ? value : "";
    g_free(value);
    return s;
}

// Read as pcmanfm reads it: a GLib key file.
StoredPicture itemsOf(const std::string &profile)
{
    StoredPicture picture{profile, {}, {}};
    GKeyFile *file = g_key_file_new();
    if (g_key_file_load_from_file(file, itemsFile(profile).c_str(), G_KEY_FILE_NONE, nullptr)) {
        picture.path = takeString(g_key_file_get_string(file, kGroup, "wallpaper", nullptr));
        picture.mode = takeString(g_key_file_get_string(file, kGroup, "wallpaper_mode", nullptr));
    }
    g_key_file_free(file);
    return picture;
}

// pcmanfm's command, run to its end, or killed: it may wait on a dialog,
// and only SIGKILL ends it then.
Result<> runPcmanfm(const QStringList &arguments)
{
    QProcess pcmanfm;
    pcmanfm.setStandardInputFile(QProcess::nullDevice());
    pcmanfm.setStandardOutputFile(QProcess::nullDevice());
    pcmanfm.setStandardErrorFile(QProcess::nullDevice());
    pcmanfm.start(QStringLiteral("pcmanfm"), arguments);
    if (!pcmanfm.waitForStarted(kCommandPatienceMs))
        return Failure{"pcmanfm ne peut pas être lancé (" + pcmanfm.errorString().toStdString() +
                       ")"};
    if (!pcmanfm.waitForFinished(kCommandPatienceMs)) {
        pcmanfm.kill();
        pcmanfm.waitForFinished(kCommandPatienceMs);
        return Failure{"pcmanfm n'a pas répondu à temps"};
    }
    return Result<>::success();
}

} // namespace

// The profile of pcmanfm's running desktop, known by its window: without
// one, pcmanfm's command opens a dialog and waits for someone to close it.
Result<std::string> LxdeSetter::runningProfile() const
{
    const auto window = x11TopDesktopWindow(m_display);
    if (!window || ownerOf(*window) != DesktopWindowOwner::Pcmanfm)
        return Failure{"Le bureau de LXDE (pcmanfm --desktop) ne fonctionne pas"};
    const auto state = processState(window->pid);
    return profileOption(state && state->name == "pcmanfm" ? processArguments(window->pid)
                                                           : std::vector<std::string>{});
}

// Shows @p path (kept as it is when empty) in @p mode (kept when empty).
// The command returns before the desktop has taken the change; the desktop
// writes its file once it has.
Result<> LxdeSetter::show(const std::string &profile, const std::string &path,
                          const std::string &mode)
{
    QStringList arguments;
    if (!path.empty())
        arguments << QStringLiteral("--set-wallpaper=") + QString::fromStdString(path);
    if (!mode.empty())
        arguments << QStringLiteral("--wallpaper-mode=") + QString::fromStdString(mode);
    if (Result<> ran = runPcmanfm(arguments); !ran)
        return ran;
    const auto deadline = std::chrono::steady_clock::now() + kStoredPatience;
    for (;;) {
        const StoredPicture now = itemsOf(profile);
        if ((path.empty() || now.path == path) && (mode.empty() || now.mode == mode))
            return Result<>::success();
        // A file it cannot use, it ignores without a word.
        if (std::chrono::steady_clock::now() > deadline)
            return Failure{"pcmanfm n'a pas pris l'image « " + path + " »"};
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// pcmanfm writes a name as it is but reads it back as a key file value, in
// which a backslash starts an escape and a line break ends the value: such a
// name is given through a link of a plain name, kept with the user's data
// for as long as the setting.
Result<std::string> LxdeSetter::keptName(const std::string &path)
{
    bool plain = true;
    for (const unsigned char c : path)
        plain = plain && c != '\\' && c >= 0x20;
    if (plain)
        return path;
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a: the same name at every login
    for (const unsigned char c : path)
        hash = (hash ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    const fs::path dir =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString() +
        "/velumbra/pictures";
    const fs::path link = dir / ("wallpaper-" + std::string(hex));
    std::error_code ec;
    fs::create_directories(dir, ec);
    fs::remove(link, ec);
    fs::create_symlink(fs::path(path), link, ec);
    if (ec)
        return Failure{"Le lien « " + link.string() + " » ne peut pas être créé (" + ec.message() +
                       ")"};
    return link.string();
}

StoredPicture LxdeSetter::stored(const std::string &profile) const
{
    return itemsOf(profile);
}

Result<> LxdeSetter::writeStopped(const StoredPicture &picture)
{
    const std::string name = itemsFile(picture.profile);
    GKeyFile *file = g_key_file_new();
    g_key_file_load_from_file(file, name.c_str(), G_KEY_FILE_KEEP_COMMENTS, nullptr);
    if (picture.path.empty())
        g_key_file_remove_key(file, kGroup, "wallpaper", nullptr);
    else
        g_key_file_set_string(file, kGroup, "wallpaper", picture.path.c_str());
    g_key_file_set_string(file, kGroup, "wallpaper_mode", picture.mode.c_str());
    std::error_code ec;
    fs::create_directories(fs::path(name).parent_path(), ec);
    const bool written = g_key_file_save_to_file(file, name.c_str(), nullptr);
    g_key_file_free(file);
    if (!written)
        return Failure{"Le fichier « " + name + " » ne peut pas être écrit"};
    return Result<>::success();
}

} // namespace velumbra
