// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class QWidget;

namespace velumbra {

class DriveList;
class EnterLineEdit;
class FileList;
class FolderList;
class InfoLine;
class OutlineShape;
class PressLabel;
class ReleaseButton;
class ReleaseLabel;
struct WindowState;

/// The main window's controls and menus under their legacy names, built as a
/// form designer would build them: captions, places, fonts, tab order and
/// what screen readers call them. The window connects them and handles them.
struct FrmVLBUi
{
    QTimer *Timer1 = nullptr;
    QLabel *Picture1 = nullptr;
    QPushButton *Command2 = nullptr;
    ReleaseButton *Command1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QGroupBox *FrameUnites = nullptr;
    std::array<QRadioButton *, 3> OptUnites{};
    QLineEdit *Text2 = nullptr;
    std::array<QRadioButton *, 3> Option1{};
    QLabel *Label2 = nullptr;
    EnterLineEdit *Text1 = nullptr;
    FileList *File1 = nullptr;
    FolderList *Dir1 = nullptr;
    DriveList *Drive1 = nullptr;
    ReleaseLabel *Label3 = nullptr;
    PressLabel *image1 = nullptr;
    InfoLine *Label1 = nullptr;
    OutlineShape *Shape1 = nullptr;
    /// The option buttons by their index, the one the handlers receive.
    QButtonGroup *option1Group = nullptr;
    QButtonGroup *optUnitesGroup = nullptr;

    QMenu *Mnu = nullptr;
    QAction *Mnu_Apropos = nullptr;
    QAction *Mnu_Aide = nullptr;
    QMenu *Mnu_Fichier = nullptr;
    QAction *mnu_afficher = nullptr;
    QAction *mnu_quitter = nullptr;
    QMenu *Mnu_ConvDossier = nullptr;
    QAction *Mnu_DossierBmp = nullptr;
    QMenu *Mnu_ConvFichier = nullptr;
    QAction *Mnu_FichierBMP = nullptr;
    /// Its pattern items carry their pattern as their data.
    QMenu *Mnu_Voir = nullptr;

    /// Builds every control on @p window, which becomes their parent.
    void setupUi(QMainWindow *window);

    /// The places that depend on the measured screen, set once it is known:
    /// the outline stands for the screen at half size over the preview's
    /// corner, and the pattern box and the file list line up with the drive
    /// and folder lists.
    void fitToScreen(int screenWidth, int screenHeight);

    /// What the controls hold, as the settings keep it.
    [[nodiscard]] WindowState controlState() const;

private:
    void createButtons(QWidget *client);
    void createChoice(QWidget *client);
    void createBrowser(QWidget *client);
    void createPreview(QWidget *client);
    void createMenus(QMainWindow *window);
    void setTabOrderChain(QWidget *window) const;
    void setAccessibleNames() const;
    void createKeyboardAids() const;
};

} // namespace velumbra
