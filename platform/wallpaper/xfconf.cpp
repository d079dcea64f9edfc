#include "wallpaper/xfconf.h"
#include "wallpaper/filecheck.h"
#include "wallpaper/x11root.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
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

WallpaperResult XfconfSetter::setWallpaper(const std::string &path, WallpaperLifetime)
{
    if (auto problem = wallpaperFileProblem(path); !problem.empty())
        return WallpaperResult::failure(std::move(problem));
    if (!QDBusConnection::sessionBus().isConnected())
        return WallpaperResult::failure(
            "Le bus de session D-Bus est inaccessible : le papier peint "
            "reste inchangé.");

    const QDBusMessage all =
        call(QStringLiteral("GetAllProperties"), {kChannel, QStringLiteral("/backdrop")});
    if (failed(all) && !isMissingProperty(all))
        return WallpaperResult::failure(busFailure(all));
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
        return WallpaperResult::failure("Aucun écran n'est connu d'XFCE : le papier peint reste "
                                        "inchangé.");

    const QString file = QString::fromStdString(path);
    for (const std::string &key : keys) {
        const QString qkey = QString::fromStdString(key);
        const QDBusMessage set = call(QStringLiteral("SetProperty"),
                                      {kChannel, qkey, QVariant::fromValue(QDBusVariant(file))});
        if (failed(set))
            return WallpaperResult::failure(busFailure(set));
        // A new key, or a style that shows no picture, would leave the
        // picture unseen.
        const QString styleKey = QString::fromStdString(styleKeyOf(key));
        const auto style = properties.find(styleKey);
        if (created || style == properties.end() || unwrap(*style).toInt() == kStyleNone) {
            const QDBusMessage setStyle =
                call(QStringLiteral("SetProperty"),
                     {kChannel, styleKey, QVariant::fromValue(QDBusVariant(kStyleStretched))});
            if (failed(setStyle))
                return WallpaperResult::failure(busFailure(setStyle));
        }
    }
    for (const std::string &key : keys) {
        const QDBusMessage got =
            call(QStringLiteral("GetProperty"), {kChannel, QString::fromStdString(key)});
        if (failed(got) || got.arguments().isEmpty() ||
            unwrap(got.arguments().constFirst()).toString() != file)
            return WallpaperResult::failure("xfconf n'a pas gardé le nouveau papier peint (" + key +
                                            ").");
    }
    return WallpaperResult::success();
}

WallpaperResult XfconfSetter::disableScreenSaver()
{
    return disableSessionScreenSaver(m_inhibitor, m_display);
}

} // namespace velumbra
