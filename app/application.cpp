#include "application.h"

#include "aboutservices.h"
#include "clock.h"
#include "display.h"
#include "frmvlb.h"
#include "pageaddress.h"
#include "prompter.h"
#include "qtscreen.h"
#include "qtsettingsstore.h"
#include "registry.h"
#include "webpage.h"

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
    SystemRegistry registry;
    SystemFileProbe files;
    SystemProcessStarter processes;
    SystemWebPageOpener web;
    const std::string help = helpPageAddress(configuredHelpAddress(),
                                             QCoreApplication::applicationDirPath().toStdString(),
                                             builtHelpPageCopies(), files);
    AboutServices about{registry,
                        files,
                        processes,
                        web,
                        systemInformationPrograms(),
                        help,
                        authorSiteAddress(configuredAuthorAddress(), help)};
    FrmVLB window(AppContext{settings, clock, random, screen, prompter, about});
    window.load();
    window.show();
    const int code = QApplication::exec();
    return code != 0 ? code : window.exitCode();
}

} // namespace velumbra
