// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/core/folderproblem.h"

namespace velumbra {

std::string folderProblemMessage(std::string_view folder, FolderProblem problem)
{
    std::string reason;
    switch (problem) {
    case FolderProblem::Missing:
        reason = "ce dossier n'existe pas ou plus";
        break;
    case FolderProblem::NotAFolder:
        reason = "ce n'est pas un dossier";
        break;
    case FolderProblem::NoPermission:
        reason = "vous n'avez pas le droit de le lire";
        break;
    case FolderProblem::DriveNotReady:
        reason = "le lecteur n'est pas prêt (aucun support inséré ou support retiré)";
        break;
    case FolderProblem::NameNotText:
        reason = "son nom n'est pas un texte valide (UTF-8) ; renommez-le pour l'ouvrir";
        break;
    }
    return "Impossible d'ouvrir le dossier « " + std::string(folder) + " » : " + reason + ".";
}

} // namespace velumbra
