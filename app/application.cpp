#include "app/application.h"

#include "about/aboutservices.h"
#include "about/pageaddress.h"
#include "app/frmvlb.h"
#include "lasting/lastingservices.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/prompter.h"
#include "platform/qtscreen.h"
#include "platform/qtsettingsstore.h"
#include "platform/qttrayicon.h"
#include "platform/registry.h"
#include "platform/wallpaper/wallpaper.h"
#include "platform/webpage.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTranslator>

#include <cstdio>

namespace velumbra {

struct SystemServices::Impl
{
    QtSettingsStore settings;
    SystemClock clock;
    SystemRandom random;
    QtScreen screen;
    QtPrompter prompter;
    std::unique_ptr<WallpaperSetter> desktop = createWallpaperSetter();
    // Keeps "until logoff" and "for good" apart where the desktop knows only one.
    LastingServices wallpaper{*desktop, restoreProgramBesideThisOne()};
    // Declared after the setter it calls, so the connection ends first.
    QObject sessionEnd;
    QtTrayIcon tray{QIcon(QStringLiteral(":/velumbra/velumbra.png"))};
    SystemRegistry registry;
    SystemFileProbe files;
    SystemProcessStarter processes;
    SystemWebPageOpener web;
    std::string help = helpPageAddress(configuredHelpAddress(),
                                       QCoreApplication::applicationDirPath().toStdString(),
                                       builtHelpPageCopies(), files);
    AboutServices about{registry,
                        files,
                        processes,
                        web,
                        systemInformationPrograms(standardProgramFolders()),
                        help,
                        authorSiteAddress(configuredAuthorAddress(), help)};
};

SystemServices::SystemServices() : m_impl(std::make_unique<Impl>())
{
    // The session manager asks this only when the user logs off, unlike
    // aboutToQuit, which also comes when the user merely quits Velumbra:
    // the temporary wallpaper must then stay until logoff.
    QObject::connect(
        qApp, &QGuiApplication::commitDataRequest, &m_impl->sessionEnd,
        [this](QSessionManager &) { (void)m_impl->wallpaper.setter().restoreAtSessionEnd(); });
}

SystemServices::~SystemServices() = default;

AppContext SystemServices::context()
{
    Impl &s = *m_impl;
    return AppContext{s.settings,           s.clock, s.random, s.screen, s.prompter,
                      s.wallpaper.setter(), s.tray,  s.about};
}

void installFrenchTranslations()
{
    // Standard buttons and context menus speak French whatever the system language.
    auto *qtFrench = new QTranslator(qApp);
    if (qtFrench->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtFrench);
}

int runVelumbra(int argc, char **argv)
{
    if (const Result<> display = displayReachable(); !display) {
        std::fprintf(stderr, "%s\n", display.reason().c_str());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velumbra"));
    QApplication::setApplicationVersion(QStringLiteral(VELUMBRA_VERSION));
    // The window hides into the tray while it rotates, and dialogs may close
    // meanwhile: only the window's own closing ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    installFrenchTranslations();

    SystemServices services;
    FrmVLB window(services.context());
    window.load();
    window.show();
    const int code = QApplication::exec();
    return code != 0 ? code : window.exitCode();
}

} // namespace velumbra
