#include "wallpaper/kde.h"
#include "wallpaper/filecheck.h"

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
           "    d.writeConfig('Image', url);\n"
           "    d.reloadConfig();\n"
           "    print(d.readConfig('Image') + '\\n');\n"
           "});\n";
}

KdeSetter::KdeSetter(std::string display) : m_display(std::move(display)) {}

WallpaperResult KdeSetter::setWallpaper(const std::string &path, WallpaperLifetime)
{
    if (auto problem = wallpaperFileProblem(path); !problem.empty())
        return WallpaperResult::failure(std::move(problem));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return WallpaperResult::failure(
            "Le bus de session D-Bus est inaccessible : le papier peint "
            "reste inchangé.");
    const QString file = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    const std::string url = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded).toStdString();

    auto msg = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
        QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"));
    msg << QString::fromStdString(plasmaWallpaperScript(url));
    const QDBusMessage reply = bus.call(msg, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return WallpaperResult::failure("Plasma a refusé le papier peint (" +
                                        reply.errorMessage().toStdString() +
                                        ") : le papier peint reste inchangé.");

    // One line per desktop, each naming the new picture.
    const QString printed =
        reply.arguments().isEmpty() ? QString() : reply.arguments().constFirst().toString();
    const QStringList lines = printed.split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return WallpaperResult::failure("Plasma n'a aucun bureau dont changer le papier peint.");
    for (const QString &line : lines) {
        if (line.trimmed() != QString::fromStdString(url))
            return WallpaperResult::failure("Plasma n'a pas gardé le nouveau papier peint.");
    }
    return WallpaperResult::success();
}

WallpaperResult KdeSetter::disableScreenSaver()
{
    return disableSessionScreenSaver(m_inhibitor, m_display);
}

} // namespace velumbra
