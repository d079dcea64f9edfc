// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/lxqt.h"
#include "platform/wallpaper/desktopprocess.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace velumbra {
namespace {

const QString kService = QStringLiteral("org.pcmanfm.PCManFM");
const QString kPath = QStringLiteral("/Application");
const QString kInterface = QStringLiteral("org.pcmanfm.Application");
// A picture of 6000 x 4500 pixels takes a quarter of a second.
constexpr int kTimeoutMs = 10000;
QString userSettingsFile(const std::string &profile)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/pcmanfm-qt/") + QString::fromStdString(profile) +
           QStringLiteral("/settings.conf");
}

// What pcmanfm-qt reads at start: the user's file, or else the first
// system-wide one. Its files are QSettings' own (INI with its escapes).
StoredPicture settingsOf(const std::string &profile)
{
    StoredPicture picture{profile, {}, {}};
    for (const QString &dir :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        const QString file = dir + QStringLiteral("/pcmanfm-qt/") +
                             QString::fromStdString(profile) + QStringLiteral("/settings.conf");
        if (!QFile::exists(file))
            continue;
        const QSettings settings(file, QSettings::IniFormat);
        picture.path = settings.value(QStringLiteral("Desktop/Wallpaper")).toString().toStdString();
        picture.mode =
            settings.value(QStringLiteral("Desktop/WallpaperMode")).toString().toStdString();
        break;
    }
    return picture;
}

Result<> callSetWallpaper(const std::string &path, const std::string &mode)
{
    auto msg =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("setWallpaper"));
    msg << QString::fromStdString(path) << QString::fromStdString(mode);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(msg, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return Failure{"pcmanfm-qt ne répond pas (" + reply.errorMessage().toStdString() + ")"};
    return Result<>::success();
}

// Replaces or adds @p keys in the [Desktop] section of pcmanfm-qt's file,
// line by line: the rest of the file stays as pcmanfm-qt wrote it.
Result<> writeDesktopKeys(const QString &fileName,
                          const std::vector<std::pair<std::string, std::string>> &keys)
{
    namespace fs = std::filesystem;
    const fs::path file = fileName.toStdString();
    std::vector<std::string> lines;
    {
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
    }
    auto section = std::find(lines.begin(), lines.end(), "[Desktop]");
    if (section == lines.end()) {
        lines.emplace_back("[Desktop]");
        section = lines.end() - 1;
    }
    for (const auto &[key, value] : keys) {
        const std::string line = key + "=" + qt5IniValue(value);
        auto it = section + 1;
        while (it != lines.end() && it->rfind('[', 0) != 0 && it->rfind(key + "=", 0) != 0)
            ++it;
        if (it != lines.end() && it->rfind(key + "=", 0) == 0) {
            *it = line;
        } else {
            const auto at = section - lines.begin();
            lines.insert(section + 1, line);
            section = lines.begin() + at;
        }
    }
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    const fs::path temporary = file.string() + ".velumbra";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const std::string &line : lines)
            out << line << '\n';
        if (!out.flush())
            return Failure{"Le fichier « " + file.string() + " » ne peut pas être écrit"};
    }
    fs::rename(temporary, file, ec);
    if (ec)
        return Failure{"Le fichier « " + file.string() + " » ne peut pas être écrit (" +
                       ec.message() + ")"};
    return Result<>::success();
}

} // namespace

std::string qt5IniValue(const std::string &value)
{
    std::string out;
    bool quoted = false;
    // After "\x" and hex digits, a hex digit would be read as part of the escape.
    bool escapeHexDigit = false;
    const auto escaped = [](unsigned unit) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "\\x%x", unit);
        return std::string(hex);
    };
    for (const QChar c : QString::fromStdString(value)) {
        const unsigned u = c.unicode();
        quoted = quoted || u == ';' || u == ',' || u == '=';
        const bool hexDigit =
            (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
        if (escapeHexDigit && hexDigit) {
            out += escaped(u);
            continue;
        }
        escapeHexDigit = false;
        switch (u) {
        case '"':
        case '\\':
            out += '\\';
            out += char(u);
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (u < 0x20 || u >= 0x7f) {
                out += escaped(u);
                escapeHexDigit = true;
            } else {
                out += char(u);
            }
        }
    }
    if (quoted || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        out = '"' + out + '"';
    return out;
}

// Without its desktop, pcmanfm-qt takes a picture, says nothing and shows
// nothing.
Result<std::string> LxqtSetter::runningProfile() const
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Failure{"Le bus de session D-Bus est inaccessible"};
    auto msg = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    msg << kInterface << QStringLiteral("desktopManagerEnabled");
    const QDBusMessage reply = bus.call(msg, QDBus::Block, kTimeoutMs);
    const bool running = reply.type() == QDBusMessage::ReplyMessage &&
                         !reply.arguments().isEmpty() &&
                         reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
    if (!running)
        return Failure{"Le bureau de LXQt (pcmanfm-qt --desktop) ne fonctionne pas"};
    const auto pid = bus.interface()->servicePid(kService);
    const long owner = pid.isValid() ? long(pid.value()) : 0;
    const auto state = processState(owner);
    return profileOption(state && state->name == "pcmanfm-qt" ? processArguments(owner)
                                                              : std::vector<std::string>{});
}

// pcmanfm-qt answers once it has drawn the picture and written its file.
Result<> LxqtSetter::show(const std::string &profile, const std::string &path,
                          const std::string &mode)
{
    // pcmanfm-qt ignores the name it already shows, even when the file has
    // changed since: another name for the file first makes it read it again.
    if (settingsOf(profile).path == path) {
        namespace fs = std::filesystem;
        const fs::path dir =
            QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toStdString() +
            "/velumbra";
        const fs::path link = dir / ("pcmanfm-qt-wallpaper" + fs::path(path).extension().string());
        std::error_code ec;
        fs::create_directories(dir, ec);
        fs::remove(link, ec);
        fs::create_symlink(fs::path(path), link, ec);
        if (!ec)
            (void)callSetWallpaper(link.string(), mode);
    }
    if (Result<> called = callSetWallpaper(path, mode); !called)
        return called;
    // A file it cannot use, it ignores without a word.
    if (settingsOf(profile).path != path)
        return Failure{"pcmanfm-qt n'a pas pris l'image « " + path + " »"};
    return Result<>::success();
}

StoredPicture LxqtSetter::stored(const std::string &profile) const
{
    return settingsOf(profile);
}

Result<> LxqtSetter::writeStopped(const StoredPicture &picture)
{
    return writeDesktopKeys(userSettingsFile(picture.profile),
                            {{"Wallpaper", picture.path}, {"WallpaperMode", picture.mode}});
}

// pcmanfm-qt saves the picture but never the mode it is shown in.
std::string LxqtSetter::forGoodProblem(const std::string &profile) const
{
    if (showsPicture(settingsOf(profile).mode))
        return {};
    return "L'image est affichée, mais pcmanfm-qt garde le mode « aucune image » pour les "
           "prochaines sessions : choisissez un mode d'affichage dans les préférences du bureau "
           "(pcmanfm-qt --desktop-pref=bg).";
}

} // namespace velumbra
