// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include "about/aboutservices.h"
#include "about/pageaddress.h"
#include "app/core/commandline.h"
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
#include "platform/singleinstance.h"
#include "platform/wallpaper/wallpaper.h"
#include "platform/webpage.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTranslator>

#include <cstdio>

namespace velumbra {
namespace {

// The desktop entry, the icon and the AppStream data carry the same id.
constexpr const char *kAppId = "org.velumbra.Velumbra";

// The desktop's setter, with what keeps "until logoff" and "for good" apart
// where the desktop knows only one: the window's OK and the command line
// both set through it.
struct WallpaperServices
{
    std::unique_ptr<WallpaperSetter> desktop = createWallpaperSetter();
    LastingServices lasting{*desktop, restoreProgramBesideThisOne()};
};

int setWallpaperFromCommandLine(const StartRequest &request)
{
    WallpaperServices wallpaper;
    const Result<> result =
        wallpaper.lasting.setter().setWallpaper(request.path.toStdString(), request.lifetime);
    if (!result.ok()) {
        std::fprintf(stderr, "Velumbra : le papier peint n'a pas pu être changé : %s\n",
                     result.reason().c_str());
        return 1;
    }
    return 0;
}

int runWindow(const QString &folderOrFile)
{
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kAppId));
    // The window hides into the tray while it rotates, and dialogs may close
    // meanwhile: only the window's own closing ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::unique_ptr<SingleInstance> instance = createSingleInstance(kAppId);
    const Result<bool> first = instance->claim();
    if (first.ok() && !*first) {
        const Result<> handed = instance->forward(folderOrFile.toStdString());
        if (handed.ok())
            return 0;
        std::fprintf(stderr, "Velumbra : %s\n", handed.reason().c_str());
        return 1;
    }
    // A session that refuses the name still gets its window.
    if (!first.ok())
        std::fprintf(stderr, "Velumbra : %s\n", first.reason().c_str());

    SystemServices services;
    FrmVLB window(services.context());
    window.load();
    instance->onRequest = [&window](const std::string &path) {
        window.openAndShow(QString::fromStdString(path));
    };
    window.openAndShow(folderOrFile);
    const int code = QApplication::exec();
    instance->onRequest = nullptr;
    return code != 0 ? code : window.exitCode();
}

} // namespace

struct SystemServices::Impl
{
    QtSettingsStore settings;
    SystemClock clock;
    SystemRandom random;
    QtScreen screen;
    QtPrompter prompter;
    WallpaperServices wallpaper;
    // Declared after the setter it calls, so the connection ends first.
    QObject sessionEnd;
    QtTrayIcon tray{QIcon(QStringLiteral(":/velumbra/velumbra.png"))};
    SystemRegistry registry;
    SystemFileProbe files;
    SystemProcessStarter processes;
    SystemWebPageOpener web;
    std::string help = helpPageAddress(configuredHelpAddress(),
                                       QCoreApplication::applicationDirPath().toStdString(),
                                       installedHelpPageRelative());
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
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &m_impl->sessionEnd,
                     [this](QSessionManager &) {
                         (void)m_impl->wallpaper.lasting.setter().restoreAtSessionEnd();
                     });
}

SystemServices::~SystemServices() = default;

AppContext SystemServices::context()
{
    Impl &s = *m_impl;
    return AppContext{s.settings, s.clock,    s.random,
                      s.screen,   s.prompter, s.wallpaper.lasting.setter(),
                      s.tray,     s.about};
}

void installFrenchTranslations()
{
    // Standard buttons and context menus speak French whatever the system language.
    auto *qtFrench = new QTranslator(QCoreApplication::instance());
    if (qtFrench->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtFrench);
}

int runVelumbra(int argc, char **argv)
{
    const Result<> display = displayReachable();
    if (display)
        preferNativeWindowSystem();
    // Help, the version and a wrong command line need no display, and a
    // window application cannot even start without one.
    const std::unique_ptr<QCoreApplication> app =
        display ? std::make_unique<QApplication>(argc, argv)
                : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Velumbra"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELUMBRA_VERSION));
    installFrenchTranslations();

    const StartRequest request =
        parseCommandLine(QCoreApplication::arguments(), QDir::currentPath());
    switch (request.action) {
    case StartRequest::Action::Print:
        std::fputs(request.text.toLocal8Bit().constData(), stdout);
        return 0;
    case StartRequest::Action::Refuse:
        std::fprintf(stderr, "%s\n", request.text.toLocal8Bit().constData());
        return request.exitCode;
    case StartRequest::Action::SetWallpaper:
    case StartRequest::Action::OpenWindow:
        break;
    }
    if (!display) {
        std::fprintf(stderr, "%s\n", display.reason().c_str());
        return 1;
    }
    if (request.action == StartRequest::Action::SetWallpaper)
        return setWallpaperFromCommandLine(request);
    return runWindow(request.path);
}

} // namespace velumbra
