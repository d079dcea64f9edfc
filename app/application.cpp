#include "application.h"

#include "clock.h"
#include "display.h"
#include "frmvlb.h"
#include "prompter.h"
#include "qtscreen.h"
#include "qtsettingsstore.h"
#include "qttrayicon.h"
#include "wallpaper.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

namespace velumbra {

int runVelumbra(int argc, char **argv)
{
    if (const std::optional<std::string> reason = displayUnavailableReason()) {
        std::fprintf(stderr, "%s\n", reason->c_str());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velumbra"));
    QApplication::setApplicationVersion(QStringLiteral(VELUMBRA_VERSION));
    // The window hides into the tray while it rotates, and dialogs may close
    // meanwhile: only the window's own closing ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // Standard buttons and context menus speak French whatever the system language.
    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);

    QtSettingsStore settings;
    SystemClock clock;
    SystemRandom random;
    QtScreen screen;
    QtPrompter prompter;
    const std::unique_ptr<WallpaperSetter> wallpaper = createWallpaperSetter();
    QtTrayIcon tray(QIcon(QStringLiteral(":/velumbra/velumbra.png")));
    FrmVLB window(AppContext{settings, clock, random, screen, prompter, *wallpaper, tray});
    window.load();
    window.show();
    const int code = QApplication::exec();
    return code != 0 ? code : window.exitCode();
}

} // namespace velumbra
