// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/pcmanfm.h"
#include "platform/wallpaper/desktopprocess.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace velumbra {
namespace {

const std::string kUnchanged = " : le papier peint reste inchangé.";

} // namespace

std::string toText(const StoredPicture &picture)
{
    const QJsonObject object{{QStringLiteral("profile"), QString::fromStdString(picture.profile)},
                             {QStringLiteral("path"), QString::fromStdString(picture.path)},
                             {QStringLiteral("mode"), QString::fromStdString(picture.mode)}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

std::optional<StoredPicture> storedPictureFromText(const std::string &text)
{
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text));
    if (!doc.isObject() || !doc.object().value(QStringLiteral("profile")).isString())
        return std::nullopt;
    const QJsonObject o = doc.object();
    return StoredPicture{o.value(QStringLiteral("profile")).toString().toStdString(),
                         o.value(QStringLiteral("path")).toString().toStdString(),
                         o.value(QStringLiteral("mode")).toString().toStdString()};
}

bool showsPicture(const std::string &mode)
{
    return !mode.empty() && mode != "none" && mode != "color";
}

Result<> PcmanfmDesktopSetter::setWallpaper(const std::string &path, WallpaperLifetime lifetime)
{
    const auto picture = checkedPicture(path);
    if (!picture)
        return Failure{picture.reason()};
    const auto profile = runningProfile();
    if (!profile)
        return Failure{profile.reason() + kUnchanged};
    const auto kept = keptName(*picture);
    if (!kept)
        return Failure{kept.reason() + kUnchanged};
    // A mode that shows no picture is changed; a mode the user chose stays.
    const std::string before = stored(*profile).mode;
    if (Result<> shown = show(*profile, *kept, showsPicture(before) ? before : "stretch"); !shown)
        return Failure{shown.reason() + kUnchanged};
    if (lifetime == WallpaperLifetime::ForGood) {
        if (std::string problem = forGoodProblem(*profile); !problem.empty())
            return Failure{std::move(problem)};
    }
    return Result<>::success();
}

Result<> PcmanfmDesktopSetter::disableScreenSaver()
{
    return disableSessionScreenSaver(m_inhibitor, m_display);
}

Result<std::string> PcmanfmDesktopSetter::readLasting(LastingSetting what)
{
    if (what != LastingSetting::Wallpaper)
        return WallpaperSetter::readLasting(what);
    const auto profile = runningProfile();
    if (!profile)
        return Failure{profile.reason() + "."};
    return toText(stored(*profile));
}

Result<> PcmanfmDesktopSetter::restoreLasting(LastingSetting what, const std::string &state)
{
    if (what != LastingSetting::Wallpaper)
        return WallpaperSetter::restoreLasting(what, state);
    const auto saved = storedPictureFromText(state);
    if (!saved)
        return Failure{"Le réglage à rétablir est illisible : il est abandonné."};
    const auto profile = runningProfile();
    const Result<> done = profile ? show(*profile, saved->path, saved->mode) : writeStopped(*saved);
    if (!done)
        return Failure{done.reason() + " : le papier peint d'avant n'est pas rétabli."};
    return Result<>::success();
}

} // namespace velumbra
