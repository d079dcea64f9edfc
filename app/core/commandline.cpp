// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/core/commandline.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace velumbra {
namespace {

StartRequest refuse(const QString &text, int exitCode)
{
    StartRequest r;
    r.action = StartRequest::Action::Refuse;
    r.text = text;
    r.exitCode = exitCode;
    return r;
}

StartRequest badUsage(const QString &error)
{
    return refuse(QStringLiteral("velumbra : %1\nEssayez « velumbra --help ».").arg(error), 2);
}

} // namespace

StartRequest parseCommandLine(const QStringList &arguments, const QString &currentFolder)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Choisir, faire tourner et convertir les papiers peints du bureau.\n"
                       "Sans option, ouvre la fenêtre (ou ramène celle qui est déjà ouverte)."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Affiche cette aide."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Affiche la version."));
    const QCommandLineOption temporary(
        QStringLiteral("temporaire"),
        QStringLiteral("Fait de FICHIER le papier peint jusqu'à la fin de la session, "
                       "sans ouvrir la fenêtre."),
        QStringLiteral("FICHIER"));
    const QCommandLineOption forGood(
        QStringLiteral("par-defaut"),
        QStringLiteral("Fait de FICHIER le papier peint pour de bon, sans ouvrir la fenêtre."),
        QStringLiteral("FICHIER"));
    parser.addOptions({help, version, temporary, forGood});
    parser.addPositionalArgument(
        QStringLiteral("DOSSIER_OU_FICHIER"),
        QStringLiteral(
            "Ouvre la fenêtre sur ce dossier, ou sur ce fichier choisi avec son aperçu."),
        QStringLiteral("[DOSSIER_OU_FICHIER]"));

    if (!parser.parse(arguments))
        return badUsage(parser.errorText());
    StartRequest r;
    if (parser.isSet(help)) {
        r.action = StartRequest::Action::Print;
        r.text = parser.helpText();
        return r;
    }
    if (parser.isSet(version)) {
        r.action = StartRequest::Action::Print;
        r.text = QStringLiteral("Velumbra " VELUMBRA_VERSION "\n");
        return r;
    }
    const QStringList positional = parser.positionalArguments();
    const bool setting = parser.isSet(temporary) || parser.isSet(forGood);
    if (parser.isSet(temporary) && parser.isSet(forGood))
        return badUsage(QStringLiteral("--temporaire et --par-defaut s'excluent."));
    if (positional.size() > (setting ? 0 : 1))
        return badUsage(
            QStringLiteral("argument en trop : « %1 ».").arg(positional.at(setting ? 0 : 1)));

    const QDir here(currentFolder);
    if (setting) {
        r.action = StartRequest::Action::SetWallpaper;
        r.lifetime =
            parser.isSet(forGood) ? WallpaperLifetime::ForGood : WallpaperLifetime::UntilLogoff;
        r.path = QDir::cleanPath(
            here.absoluteFilePath(parser.value(parser.isSet(forGood) ? forGood : temporary)));
        return r;
    }
    if (!positional.isEmpty()) {
        r.path = QDir::cleanPath(here.absoluteFilePath(positional.constFirst()));
        // The system's bytes that are not UTF-8 reach here as U+FFFD, and no
        // longer lead to the file: say so rather than that it does not exist.
        if (!QFileInfo::exists(r.path) && r.path.contains(QChar::ReplacementCharacter))
            return refuse(QStringLiteral("Velumbra : le nom de « %1 » n'est pas un texte valide "
                                         "(UTF-8) ; ouvrez le dossier « %2 » dans la fenêtre.")
                              .arg(r.path, QFileInfo(r.path).absolutePath()),
                          1);
        if (!QFileInfo::exists(r.path))
            return refuse(QStringLiteral("Velumbra : « %1 » n'existe pas.").arg(r.path), 1);
    }
    return r;
}

} // namespace velumbra
