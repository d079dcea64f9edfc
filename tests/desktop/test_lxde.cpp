// LXDE: the real pcmanfm --desktop on Xvfb, as an LXDE session starts it;
// its settings file read back as a GLib key file, as pcmanfm reads it.

#include "tests/desktop/contract.h"

#include <gtest/gtest.h>

#include <glib.h>

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("Xvfb"), QStringLiteral("dbus-daemon"), QStringLiteral("pcmanfm")};
}

namespace {

QString keyFileWallpaper(const QString &home)
{
    const QByteArray file =
        (home + QStringLiteral("/.config/pcmanfm/LXDE/desktop-items-0.conf")).toLocal8Bit();
    GKeyFile *items = g_key_file_new();
    QString wallpaper = QStringLiteral("");
    if (g_key_file_load_from_file(items, file.constData(), G_KEY_FILE_NONE, nullptr)) {
        gchar *value = g_key_file_get_string(items, "*", "wallpaper", nullptr);
        wallpaper = QString::fromUtf8(value ? value : "");
        g_free(value);
    }
    g_key_file_free(items);
    return wallpaper;
}

TEST(Lxde, KeepsTheContract)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    desktoptest::XDesktop lxde({QStringLiteral("pcmanfm"), QStringLiteral("--desktop"),
                                QStringLiteral("--profile"), QStringLiteral("LXDE")},
                               {QStringLiteral("XDG_CURRENT_DESKTOP=LXDE"),
                                QStringLiteral("NO_AT_BRIDGE=1"),
                                QStringLiteral("GSETTINGS_BACKEND=memory"),
                                QStringLiteral("-WAYLAND_DISPLAY"), QStringLiteral("-SWAYSOCK")},
                               keyFileWallpaper);
    desktoptest::runContract(lxde, root.path());
}

} // namespace
