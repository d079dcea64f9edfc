// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/swaybg.h"
#include "platform/wallpaper/desktopprocess.h"
#include "platform/wayland.h"

#include <QStandardPaths>
#include <QString>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace velumbra {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(10);
constexpr auto kStep = std::chrono::milliseconds(5);
const std::string kUnchanged = " : le papier peint reste inchangé.";

// The swaybg started for a compositor, as noted in the runtime folder.
struct Started
{
    long pid = 0;
    unsigned long long startTime = 0;
};

// The noted swaybg, while that very process still runs: its number may
// have gone to another process since.
std::optional<Started> runningStarted(const fs::path &note)
{
    std::ifstream in(note);
    Started started;
    if (!(in >> started.pid >> started.startTime))
        return std::nullopt;
    const auto state = processState(started.pid);
    if (!state || state->name != "swaybg" || state->startTime != started.startTime ||
        state->state == 'Z')
        return std::nullopt;
    return started;
}

bool writeNote(const fs::path &note, const Started &started)
{
    const fs::path temporary = note.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << started.pid << ' ' << started.startTime << '\n';
        if (!out.flush())
            return false;
    }
    std::error_code ec;
    fs::rename(temporary, note, ec);
    return !ec;
}

// Ends @p pid, and collects it when this process started it.
void end(long pid)
{
    const auto state = processState(pid);
    if (!state)
        return;
    if (state->state != 'Z')
        ::kill(pid_t(pid), SIGTERM);
    if (state->parent == ::getpid())
        ::waitpid(pid_t(pid), nullptr, 0);
}

// Starts @p argv in a session of its own, so that neither the end of this
// program nor a signal to its terminal's process group ends it; it writes
// to @p log and inherits nothing else of this process.
Result<long> startApart(const std::string &program, const std::vector<std::string> &argv,
                        const fs::path &log)
{
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int s : {SIGTERM, SIGINT, SIGHUP, SIGPIPE})
        sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int error =
        posix_spawn(&pid, program.c_str(), &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return Failure{"swaybg ne peut pas être lancé (" + std::string(std::strerror(error)) + ")" +
                       kUnchanged};
    return long(pid);
}

std::string lastLine(const fs::path &log)
{
    std::ifstream in(log);
    std::string line, last;
    while (std::getline(in, line)) {
        if (!line.empty())
            last = line;
    }
    return last;
}

enum class Outcome { Shown, Ended, Late };

// swaybg says nothing once it shows a picture, and the older swaybg stays on
// top until it ends. It reads the picture when the compositor has given it
// a surface, then draws and hands it over without sleeping in between: once
// it has closed the picture (@p watch, an inotify descriptor) and sleeps
// again, the picture is the compositor's.
Outcome waitUntilShown(long pid, int watch)
{
    const auto deadline = Clock::now() + kPatience;
    bool read = watch < 0;
    while (Clock::now() < deadline) {
        if (!read) {
            pollfd fd{watch, POLLIN, 0};
            if (::poll(&fd, 1, int(kStep.count())) > 0) {
                char events[4096];
                while (::read(watch, events, sizeof events) > 0) {
                }
                read = true;
            }
        } else {
            std::this_thread::sleep_for(kStep);
        }
        const auto state = processState(pid);
        if (!state || state->state == 'Z')
            return Outcome::Ended;
        if (read && state->state == 'S')
            return Outcome::Shown;
    }
    return Outcome::Late;
}

} // namespace

SwaybgSetter::SwaybgSetter(std::string waylandDisplay, std::string runtimeDir, std::string display)
    : m_wayland(std::move(waylandDisplay)), m_runtimeDir(std::move(runtimeDir)),
      m_display(std::move(display))
{
}

Result<> SwaybgSetter::setWallpaper(const std::string &path, WallpaperLifetime)
{
    // swaybg shows nothing for a file it cannot read, and keeps running.
    const auto picture = checkedPicture(path);
    if (!picture)
        return Failure{picture.reason()};
    if (m_runtimeDir.empty())
        return Failure{"Le dossier XDG_RUNTIME_DIR n'est pas défini" + kUnchanged};
    const QString program = QStandardPaths::findExecutable(QStringLiteral("swaybg"));
    if (program.isEmpty())
        return Failure{"swaybg n'est pas installé (paquet « swaybg »)" + kUnchanged};
    const auto compositor = askWaylandCompositor(m_wayland);
    if (!compositor)
        return Failure{compositor.reason() + " Le papier peint reste inchangé."};
    if (compositor->outputs.empty())
        return Failure{"Le compositeur Wayland n'annonce aucun écran" + kUnchanged};

    std::error_code ec;
    const fs::path dir = fs::path(m_runtimeDir) / "velumbra";
    fs::create_directories(dir, ec);
    fs::permissions(dir, fs::perms::owner_all, ec);
    std::string key = m_wayland;
    std::replace(key.begin(), key.end(), '/', '_');
    const fs::path note = dir / ("swaybg-" + key + ".pid");
    const fs::path log = dir / ("swaybg-" + key + ".log");
    const fs::path newLog = log.string() + ".new";
    const auto previous = runningStarted(note);

    // Watched before swaybg starts, so that its reading cannot be missed.
    const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    const bool watching =
        watch >= 0 && ::inotify_add_watch(watch, picture->c_str(), IN_CLOSE_NOWRITE) >= 0;
    const auto started =
        startApart(program.toStdString(), {"swaybg", "-m", "stretch", "-i", *picture}, newLog);
    const Outcome outcome =
        started ? waitUntilShown(*started, watching ? watch : -1) : Outcome::Ended;
    if (watch >= 0)
        ::close(watch);
    if (!started)
        return Failure{started.reason()};

    const std::string said = lastLine(newLog);
    // An undecodable picture is only logged: the older swaybg must then stay.
    const bool refused = said.find("Failed to") != std::string::npos;
    const auto state = processState(*started);
    if (outcome != Outcome::Shown || refused || !state) {
        end(*started);
        return Failure{"swaybg n'a pas affiché l'image" +
                       (said.empty() ? std::string() : " (" + said + ")") + kUnchanged};
    }
    if (!writeNote(note, {*started, state->startTime})) {
        // Unnoted, it could never be replaced: better the previous picture.
        end(*started);
        return Failure{"Le dossier « " + dir.string() + " » ne peut pas être écrit" + kUnchanged};
    }
    fs::rename(newLog, log, ec);
    if (previous)
        end(previous->pid);
    return Result<>::success();
}

Result<> SwaybgSetter::disableScreenSaver()
{
    return disableSessionScreenSaver(m_inhibitor, m_display);
}

} // namespace velumbra
