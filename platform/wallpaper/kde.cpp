// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/kde.h"
#include "platform/wallpaper/desktopprocess.h"
#include "platform/wallpaper/filecheck.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

namespace velumbra {
namespace {

// The first start of Plasma's script engine takes a while on a busy machine.
constexpr int kTimeoutMs = 20000;

} // namespace

std::string plasmaWallpaperScript(const std::string &url)
{
    // A one-element JSON array, brackets dropped: a JavaScript string literal.
    QByteArray literal =
        QJsonDocument(QJsonArray{QString::fromStdString(url)}).toJson(QJsonDocument::Compact);
    literal = literal.mid(1, literal.size() - 2);
    return "var url = " + literal.toStdString() +
           ";\n"
           "desktops().forEach(function (d) {\n"
           "    d.wallpaperPlugin = 'org.kde.image';\n"
           "    d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
           // The same name again would not reload a picture rewritten meanwhile.
           "    d.writeConfig('Image', '');\n"
           "    d.reloadConfig();\n"
           "    d.writeConfig('Image', url);\n"
           "    d.reloadConfig();\n"
           "    print(d.readConfig('Image') + '\\n');\n"
           "});\n";
}

std::string plasmaReadWallpapersScript()
{
    return "var saved = {};\n"
           "desktops().forEach(function (d) {\n"
           "    d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
           "    saved[String(d.id)] = {plugin: d.wallpaperPlugin, image: "
           "String(d.readConfig('Image', ''))};\n"
           "});\n"
           "print(JSON.stringify(saved));\n";
}

std::string plasmaRestoreWallpapersScript(const std::string &savedJson)
{
    // The saved state enters as a JSON value, which is a JavaScript literal.
    return "var saved = " + savedJson +
           ";\n"
           "var missed = [];\n"
           "desktops().forEach(function (d) {\n"
           "    var s = saved[String(d.id)];\n"
           "    if (!s) return;\n"
           "    d.wallpaperPlugin = s.plugin;\n"
           "    d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
           "    d.writeConfig('Image', s.image);\n"
           "    d.reloadConfig();\n"
           "    if (d.wallpaperPlugin != s.plugin || String(d.readConfig('Image', '')) != "
           "s.image)\n"
           "        missed.push(d.id);\n"
           "});\n"
           "print(missed.length ? missed.join(' ') : 'ok');\n";
}

KdeSetter::KdeSetter(std::string display) : m_display(std::move(display)) {}

namespace {

// Runs @p script in plasmashell; what it printed.
Result<QString> evaluate(const std::string &script)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Failure{"Le bus de session D-Bus est inaccessible."};
    auto msg = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
        QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"));
    msg << QString::fromStdString(script);
    const QDBusMessage reply = bus.call(msg, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return Failure{"Plasma ne répond pas (" + reply.errorMessage().toStdString() + ")."};
    return reply.arguments().isEmpty() ? QString() : reply.arguments().constFirst().toString();
}

} // namespace

Result<> KdeSetter::setWallpaper(const std::string &path, WallpaperLifetime)
{
    // The desktop would take a file that is no picture and show nothing.
    if (const Result<std::string> usable = checkedPicture(path); !usable)
        return Failure{usable.reason()};
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Failure{"Le bus de session D-Bus est inaccessible : le papier peint "
                       "reste inchangé."};
    const QString file = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    const std::string url = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded).toStdString();

    auto msg = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
        QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"));
    msg << QString::fromStdString(plasmaWallpaperScript(url));
    const QDBusMessage reply = bus.call(msg, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return Failure{"Plasma a refusé le papier peint (" + reply.errorMessage().toStdString() +
                       ") : le papier peint reste inchangé."};

    // One line per desktop, each naming the new picture.
    const QString printed =
        reply.arguments().isEmpty() ? QString() : reply.arguments().constFirst().toString();
    const QStringList lines = printed.split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return Failure{"Plasma n'a aucun bureau dont changer le papier peint."};
    for (const QString &line : lines) {
        if (line.trimmed() != QString::fromStdString(url))
            return Failure{"Plasma n'a pas gardé le nouveau papier peint."};
    }
    return Result<>::success();
}

Result<> KdeSetter::disableScreenSaver()
{
    return disableSessionScreenSaver(m_inhibitor, m_display);
}

LifetimeSupport KdeSetter::lifetimeSupport(LastingSetting what) const
{
    // The screen saver is held off by an inhibition, which ends with the
    // session.
    return what == LastingSetting::Wallpaper ? LifetimeSupport::StoredOnly
                                             : LifetimeSupport::Native;
}

Result<std::string> KdeSetter::readLasting(LastingSetting what)
{
    if (what != LastingSetting::Wallpaper)
        return WallpaperSetter::readLasting(what);
    const auto printed = evaluate(plasmaReadWallpapersScript());
    if (!printed)
        return Failure{printed.reason()};
    const QJsonDocument doc = QJsonDocument::fromJson(printed->trimmed().toUtf8());
    if (!doc.isObject())
        return Failure{"Plasma a répondu de façon inattendue."};
    return doc.toJson(QJsonDocument::Compact).toStdString();
}

Result<> KdeSetter::restoreLasting(LastingSetting what, const std::string &state)
{
    if (what != LastingSetting::Wallpaper)
        return WallpaperSetter::restoreLasting(what, state);
    // Only a JSON object, written out anew, enters the script.
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(state));
    if (!doc.isObject())
        return Failure{"Le réglage à rétablir est illisible : il est abandonné."};
    const auto printed =
        evaluate(plasmaRestoreWallpapersScript(doc.toJson(QJsonDocument::Compact).toStdString()));
    if (!printed)
        return Failure{printed.reason() + " Le papier peint d'avant n'est pas rétabli."};
    if (printed->trimmed() != QStringLiteral("ok"))
        return Failure{"Plasma n'a pas repris le papier peint d'avant le changement temporaire "
                       "(bureaux " +
                       printed->trimmed().toStdString() + ")."};
    return Result<>::success();
}

} // namespace velumbra
