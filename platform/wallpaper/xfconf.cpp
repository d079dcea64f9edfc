// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/xfconf.h"
#include "platform/wallpaper/desktopprocess.h"
#include "platform/wallpaper/filecheck.h"
#include "platform/wallpaper/x11root.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QVariantMap>

namespace velumbra {
namespace {

constexpr int kTimeoutMs = 5000;
const QString kChannel = QStringLiteral("xfce4-desktop");
constexpr int kStyleNone = 0;
constexpr int kStyleStretched = 3;

QDBusMessage call(const QString &method, const QVariantList &args)
{
    auto msg = QDBusMessage::createMethodCall(QStringLiteral("org.xfce.Xfconf"),
                                              QStringLiteral("/org/xfce/Xfconf"),
                                              QStringLiteral("org.xfce.Xfconf"), method);
    msg.setArguments(args);
    return QDBusConnection::sessionBus().call(msg, QDBus::Block, kTimeoutMs);
}

bool failed(const QDBusMessage &reply)
{
    return reply.type() != QDBusMessage::ReplyMessage;
}

// xfconf answers an unknown channel or property with its own error names.
bool isMissingProperty(const QDBusMessage &reply)
{
    return reply.errorName().startsWith(QStringLiteral("org.xfce.Xfconf.Error"));
}

std::string busFailure(const QDBusMessage &reply)
{
    return "xfconf ne répond pas sur le bus de session (" + reply.errorMessage().toStdString() +
           ") : le papier peint reste inchangé.";
}

QVariant unwrap(const QVariant &v)
{
    if (v.canConvert<QDBusVariant>())
        return v.value<QDBusVariant>().variant();
    return v;
}

std::string styleKeyOf(const std::string &imageKey)
{
    return imageKey.substr(0, imageKey.rfind('/')) + "/image-style";
}

// The channel's backdrop properties. An unknown channel is an empty one.
Result<QVariantMap> backdropProperties()
{
    if (!QDBusConnection::sessionBus().isConnected())
        return Failure{"Le bus de session D-Bus est inaccessible."};
    const QDBusMessage all =
        call(QStringLiteral("GetAllProperties"), {kChannel, QStringLiteral("/backdrop")});
    if (failed(all) && !isMissingProperty(all)) {
        return Failure{"xfconf ne répond pas sur le bus de session (" +
                       all.errorMessage().toStdString() + ")."};
    }
    QVariantMap properties;
    if (!failed(all) && !all.arguments().isEmpty())
        properties = qdbus_cast<QVariantMap>(all.arguments().constFirst());
    return properties;
}

// The picture and style keys of @p properties: what a change of wallpaper
// touches.
std::vector<QString> wallpaperKeys(const QVariantMap &properties)
{
    std::vector<std::string> names;
    for (auto it = properties.cbegin(); it != properties.cend(); ++it)
        names.push_back(it.key().toStdString());
    std::vector<QString> keys;
    for (const std::string &image : xfceImageKeys(names)) {
        keys.push_back(QString::fromStdString(image));
        const QString style = QString::fromStdString(styleKeyOf(image));
        if (properties.contains(style))
            keys.push_back(style);
    }
    return keys;
}

} // namespace

std::vector<std::string> xfceImageKeys(const std::vector<std::string> &keys)
{
    static const QRegularExpression pattern(
        QStringLiteral("^/backdrop/screen\\d+/monitor[^/]+/workspace\\d+/last-image$"));
    std::vector<std::string> result;
    for (const std::string &key : keys) {
        if (pattern.match(QString::fromStdString(key)).hasMatch())
            result.push_back(key);
    }
    return result;
}

std::vector<std::string> xfceNewImageKeys(const std::vector<std::string> &monitorNames)
{
    std::vector<std::string> result;
    for (const std::string &name : monitorNames) {
        if (!name.empty() && name.find('/') == std::string::npos)
            result.push_back("/backdrop/screen0/monitor" + name + "/workspace0/last-image");
    }
    return result;
}

XfconfSetter::XfconfSetter(std::string display) : m_display(std::move(display)) {}

Result<> XfconfSetter::setWallpaper(const std::string &path, WallpaperLifetime)
{
    // The desktop would take a file that is no picture and show nothing.
    if (const Result<std::string> usable = checkedPicture(path); !usable)
        return Failure{usable.reason()};
    if (!QDBusConnection::sessionBus().isConnected())
        return Failure{"Le bus de session D-Bus est inaccessible : le papier peint "
                       "reste inchangé."};

    const QDBusMessage all =
        call(QStringLiteral("GetAllProperties"), {kChannel, QStringLiteral("/backdrop")});
    if (failed(all) && !isMissingProperty(all))
        return Failure{busFailure(all)};
    QVariantMap properties;
    if (!failed(all) && !all.arguments().isEmpty())
        properties = qdbus_cast<QVariantMap>(all.arguments().constFirst());
    std::vector<std::string> names;
    for (auto it = properties.cbegin(); it != properties.cend(); ++it)
        names.push_back(it.key().toStdString());

    std::vector<std::string> keys = xfceImageKeys(names);
    const bool created = keys.empty();
    if (created)
        keys = xfceNewImageKeys(x11MonitorNames(m_display));
    if (keys.empty())
        return Failure{"Aucun écran n'est connu d'XFCE : le papier peint reste "
                       "inchangé."};

    const QString file = QString::fromStdString(path);
    for (const std::string &key : keys) {
        const QString qkey = QString::fromStdString(key);
        const QDBusMessage set = call(QStringLiteral("SetProperty"),
                                      {kChannel, qkey, QVariant::fromValue(QDBusVariant(file))});
        if (failed(set))
            return Failure{busFailure(set)};
        // A new key, or a style that shows no picture, would leave the
        // picture unseen.
        const QString styleKey = QString::fromStdString(styleKeyOf(key));
        const auto style = properties.find(styleKey);
        if (created || style == properties.end() || unwrap(*style).toInt() == kStyleNone) {
            const QDBusMessage setStyle =
                call(QStringLiteral("SetProperty"),
                     {kChannel, styleKey, QVariant::fromValue(QDBusVariant(kStyleStretched))});
            if (failed(setStyle))
                return Failure{busFailure(setStyle)};
        }
    }
    for (const std::string &key : keys) {
        const QDBusMessage got =
            call(QStringLiteral("GetProperty"), {kChannel, QString::fromStdString(key)});
        if (failed(got) || got.arguments().isEmpty() ||
            unwrap(got.arguments().constFirst()).toString() != file)
            return Failure{"xfconf n'a pas gardé le nouveau papier peint (" + key + ")."};
    }
    return Result<>::success();
}

Result<> XfconfSetter::disableScreenSaver()
{
    return disableSessionScreenSaver(m_inhibitor, m_display);
}

LifetimeSupport XfconfSetter::lifetimeSupport(LastingSetting what) const
{
    // The screen saver is held off by an inhibition and the X server, both
    // of which end with the session.
    return what == LastingSetting::Wallpaper ? LifetimeSupport::StoredOnly
                                             : LifetimeSupport::Native;
}

Result<std::string> XfconfSetter::readLasting(LastingSetting what)
{
    if (what != LastingSetting::Wallpaper)
        return WallpaperSetter::readLasting(what);
    const auto properties = backdropProperties();
    if (!properties)
        return Failure{properties.reason()};
    // Pictures are strings and styles integers; JSON keeps the two apart.
    QJsonObject state;
    for (const QString &key : wallpaperKeys(*properties)) {
        const QVariant value = unwrap(properties->value(key));
        state.insert(key, key.endsWith(QStringLiteral("/image-style"))
                              ? QJsonValue(value.toInt())
                              : QJsonValue(value.toString()));
    }
    return QJsonDocument(state).toJson(QJsonDocument::Compact).toStdString();
}

Result<> XfconfSetter::restoreLasting(LastingSetting what, const std::string &state)
{
    if (what != LastingSetting::Wallpaper)
        return WallpaperSetter::restoreLasting(what, state);
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(state));
    if (!doc.isObject())
        return Failure{"Le réglage à rétablir est illisible : il est abandonné."};
    const QJsonObject saved = doc.object();
    const auto properties = backdropProperties();
    if (!properties)
        return Failure{properties.reason() + " Le papier peint d'avant n'est pas rétabli."};

    // Keys made for the temporary picture (xfdesktop had never run) go again.
    for (const QString &key : wallpaperKeys(*properties)) {
        if (saved.contains(key))
            continue;
        const QDBusMessage reset = call(QStringLiteral("ResetProperty"), {kChannel, key, false});
        if (failed(reset))
            return Failure{busFailure(reset)};
    }
    for (auto it = saved.constBegin(); it != saved.constEnd(); ++it) {
        const QVariant value = it->isDouble() ? QVariant(it->toInt()) : QVariant(it->toString());
        const QDBusMessage set =
            call(QStringLiteral("SetProperty"),
                 {kChannel, it.key(), QVariant::fromValue(QDBusVariant(value))});
        if (failed(set))
            return Failure{busFailure(set)};
    }
    for (auto it = saved.constBegin(); it != saved.constEnd(); ++it) {
        const QDBusMessage got = call(QStringLiteral("GetProperty"), {kChannel, it.key()});
        const QVariant now = failed(got) || got.arguments().isEmpty()
                                 ? QVariant()
                                 : unwrap(got.arguments().constFirst());
        const bool same =
            it->isDouble() ? now.toInt() == it->toInt() : now.toString() == it->toString();
        if (!same)
            return Failure{"xfconf n'a pas repris le papier peint d'avant le changement "
                           "temporaire (" +
                           it.key().toStdString() + ")."};
    }
    return Result<>::success();
}

} // namespace velumbra
