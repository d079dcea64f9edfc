// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmvlb_ui.h"

#include "app/core/savedstate.h"
#include "app/widgets.h"
#include "browser/drivelist.h"
#include "browser/filelist.h"
#include "browser/folderlist.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <cmath>
#include <utility>

namespace velumbra {
namespace {

constexpr int kClientWidth = 594;
constexpr int kClientHeight = 645;

QAction *addItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QMenu *popupMenu(QWidget *window, const char *name, const QString &caption)
{
    auto *menu = new QMenu(caption, window);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

void FrmVLBUi::setupUi(QMainWindow *window)
{
    window->setObjectName(QStringLiteral("FrmVLB"));
    window->setWindowTitle(QStringLiteral("Velumbra °VLB°    Choix du papier-paint ..."));
    window->setWindowIcon(QIcon(QStringLiteral(":/velumbra/velumbra.png")));
    window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    // The layout was drawn for an 8-point interface font; larger defaults
    // would crowd the captions out of their boxes.
    QFont small = window->font();
    small.setPointSizeF(8);
    window->setFont(small);

    auto *client = new QWidget(window);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    window->setCentralWidget(client);
    window->layout()->setSizeConstraint(QLayout::SetFixedSize);

    Timer1 = new QTimer(window);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    optUnitesGroup = new QButtonGroup(window);
    option1Group = new QButtonGroup(window);

    // Kept invisible: it only measures and converts pictures.
    Picture1 = new QLabel(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(256, 256, 65, 49);
    Picture1->hide();

    // Created in this order, which is also the order they are drawn in.
    createButtons(client);
    createChoice(client);
    createBrowser(client);
    createPreview(client);
    createMenus(window);
    setTabOrderChain(window);
    setAccessibleNames();
    // A main window has no default and cancel buttons of its own.
    new DialogKeys(Command1, Command2, window);
    createKeyboardAids();
}

void FrmVLBUi::fitToScreen(int screenWidth, int screenHeight)
{
    Shape1->resize(int(std::lround(screenWidth / 2.0)), int(std::lround(screenHeight / 2.0)));
    Shape1->move(image1->pos());
    Text1->setGeometry(Text1->x(), Drive1->y(), Text1->width(), Drive1->height());
    File1->setGeometry(File1->x(), Dir1->y(), File1->width(), Dir1->height());
}

WindowState FrmVLBUi::controlState() const
{
    WindowState state;
    state.drive = Drive1->drive().toStdString();
    state.folder = Dir1->path().toStdString();
    state.pattern = Text1->text().toStdString();
    state.fileName = File1->fileName().toStdString();
    state.option = option1Group->checkedId();
    state.time = Text2->text().toStdString();
    state.unites = optUnitesGroup->checkedId();
    return state;
}

void FrmVLBUi::createButtons(QWidget *client)
{
    Command2 = new QPushButton(QStringLiteral("Fermer"), client);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(472, 160, 113, 33);
    Command2->setAutoDefault(true);

    Command1 = new ReleaseButton(QStringLiteral("OK"), client);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(320, 160, 113, 33);
    Command1->setAutoDefault(true);
    Command1->setDefault(true);
}

void FrmVLBUi::createChoice(QWidget *client)
{
    Frame1 = new QGroupBox(QStringLiteral("Votre choix :"), client);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(320, 0, 265, 153);

    FrameUnites = new QGroupBox(QStringLiteral("Unités"), Frame1);
    FrameUnites->setObjectName(QStringLiteral("FrameUnites"));
    FrameUnites->setGeometry(136, 72, 121, 73);

    const std::array<QString, 3> units{QStringLiteral("Seconde(s)"), QStringLiteral("Minute(s)"),
                                       QStringLiteral("Heure(s)")};
    for (int i = 0; i < 3; ++i) {
        OptUnites[i] = new QRadioButton(units[i], FrameUnites);
        OptUnites[i]->setObjectName(QStringLiteral("OptUnites"));
        OptUnites[i]->setProperty("index", i);
        OptUnites[i]->setGeometry(8, 16 + 16 * i, 105, 17);
        optUnitesGroup->addButton(OptUnites[i], i);
    }
    OptUnites[1]->setChecked(true);

    Text2 = new QLineEdit(QStringLiteral("5"), Frame1);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(88, 104, 41, 19);

    Option1[2] =
        new WrappingRadioButton(QStringLiteral("Choix &aléatoire dans ce dossier"), Frame1);
    Option1[2]->setGeometry(16, 64, 113, 41);
    Option1[1] = new QRadioButton(QStringLiteral("Définir par &défaut"), Frame1);
    Option1[1]->setGeometry(16, 48, 233, 25);
    Option1[0] = new QRadioButton(QStringLiteral("Définir &temporairement"), Frame1);
    Option1[0]->setGeometry(16, 24, 233, 25);
    for (int i = 0; i < 3; ++i) {
        Option1[i]->setObjectName(QStringLiteral("Option1"));
        Option1[i]->setProperty("index", i);
        option1Group->addButton(Option1[i], i);
    }
    Option1[2]->setChecked(true);
    // The middle button overlaps the two-line one; keep the wrapped caption on top.
    Option1[2]->raise();

    Label2 = new QLabel(QStringLiteral("Toutes les"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(32, 104, 57, 25);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setBuddy(Text2);
}

void FrmVLBUi::createBrowser(QWidget *client)
{
    Text1 = new EnterLineEdit(QStringLiteral("*.bmp;*.rle"), client);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(136, 8, 137, 19);

    File1 = new FileList(client);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setGeometry(136, 40, 169, 149);

    Dir1 = new FolderList(client);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setGeometry(8, 40, 113, 156);

    Drive1 = new DriveList(client);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(8, 8, 113, 21);

    // A symbol every installed font has, standing for a drop-down menu.
    Label3 = new ReleaseLabel(QStringLiteral("☰"), client);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(272, 8, 41, 17);
    Label3->setAlignment(Qt::AlignCenter);
    QFont symbol = Label3->font();
    symbol.setBold(true);
    symbol.setPixelSize(15);
    Label3->setFont(symbol);
    Label3->setCursor(Qt::PointingHandCursor);
}

void FrmVLBUi::createPreview(QWidget *client)
{
    image1 = new PressLabel(client);
    image1->setObjectName(QStringLiteral("image1"));
    image1->setGeometry(8, 232, 400, 295);
    image1->setScaledContents(true);

    Label1 = new InfoLine(client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 200, 577, 33);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setWordWrap(true);

    Shape1 = new OutlineShape(client);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(8, 232, 105, 97);
    Shape1->raise();
}

void FrmVLBUi::createMenus(QMainWindow *window)
{
    Mnu = window->menuBar()->addMenu(QStringLiteral("&?"));
    Mnu->setObjectName(QStringLiteral("Mnu"));
    Mnu_Apropos = addItem(Mnu, "Mnu_Apropos", QStringLiteral("À &propos"));
    Mnu_Aide = addItem(Mnu, "Mnu_Aide", QStringLiteral("&Aide en ligne (WEB)"));

    // The other menus are only ever popped up, never shown in the menu bar.
    Mnu_Fichier = popupMenu(window, "Mnu_Fichier", QStringLiteral("&Fichier"));
    mnu_afficher = addItem(Mnu_Fichier, "mnu_afficher", QStringLiteral("&Afficher"));
    mnu_quitter = addItem(Mnu_Fichier, "mnu_quitter", QStringLiteral("&Quitter"));

    // "Annuler" only closes its menu: it has nothing to do.
    Mnu_ConvDossier = popupMenu(window, "Mnu_ConvDossier", QStringLiteral("ConvDossier"));
    Mnu_DossierBmp = addItem(Mnu_ConvDossier, "Mnu_DossierBmp",
                             QStringLiteral("Convertir contenu Dossier en BMP"));
    addItem(Mnu_ConvDossier, "Mnu_AnnulerD", QStringLiteral("Annuler"));

    Mnu_ConvFichier = popupMenu(window, "Mnu_ConvFichier", QStringLiteral("ConvFichier"));
    Mnu_FichierBMP =
        addItem(Mnu_ConvFichier, "Mnu_FichierBMP", QStringLiteral("Convertir Fichier en BMP"));
    addItem(Mnu_ConvFichier, "Mnu_AnnulerF", QStringLiteral("Annuler"));

    Mnu_Voir = popupMenu(window, "Mnu_Voir", QStringLiteral("Voir"));
    const struct
    {
        const char *name;
        const char *caption;
        const char *pattern;
    } presets[] = {
        {"Mnu_VoirJpg", "Voir *.JPG et *.JPEG", "*.jpg;*.jpeg"},
        {"Mnu_VoirGif", "Voir *.GIF", "*.gif"},
        {"Mnu_VoirJpgGif", "voir *.JPG, *.JPEG et *.GIF", "*.jpg;*.jpeg;*.gif"},
        {"Mnu_VoirBmpRle", "Voir *.BMP et *.RLE", "*.bmp;*.rle"},
    };
    for (const auto &p : presets)
        addItem(Mnu_Voir, p.name, QString::fromUtf8(p.caption))
            ->setData(QString::fromLatin1(p.pattern));
    addItem(Mnu_Voir, "Mnu_V_Annuler", QStringLiteral("Annuler"));
}

void FrmVLBUi::setTabOrderChain(QWidget *window) const
{
    QWidget *const chain[] = {Drive1,     Dir1,     Text1,        File1,        Option1[0],
                              Option1[2], Text2,    OptUnites[0], OptUnites[1], OptUnites[2],
                              Command1,   Command2, Option1[1]};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i)
        window->setTabOrder(chain[i], chain[i + 1]);
}

// A control with text of its own (a label, a button, a group's title, the
// drive shown) is read by that text: a name would hide it. Only the controls
// without text are named; what the others are for goes in a description.
void FrmVLBUi::setAccessibleNames() const
{
    const std::pair<QWidget *, QString> named[] = {
        {Dir1, QStringLiteral("Dossiers")},
        {File1, QStringLiteral("Fichiers")},
        {Text1, QStringLiteral("Filtre des fichiers")},
        {Label3, QStringLiteral("Filtres prédéfinis")},
        {image1, QStringLiteral("Aperçu de l'image à demi-taille")},
        {Shape1, QStringLiteral("Contour de l'écran à demi-taille")},
        {Text2, QStringLiteral("Intervalle de rotation")},
        {Picture1, QStringLiteral("Image de travail")},
    };
    for (const auto &[widget, name] : named)
        widget->setAccessibleName(name);
    // Qt would call the inner group by the outer one's title.
    for (QGroupBox *group : {Frame1, FrameUnites})
        group->setAccessibleName(group->title());
    const std::pair<QWidget *, QString> described[] = {
        {Drive1, QStringLiteral("Lecteur")},
        {Dir1, QStringLiteral("Espace ouvre le dossier ; Menu ou Maj+F10 : conversion en BMP")},
        {Text1, QStringLiteral("Entrée applique le filtre ; Alt+Bas ou F4 : filtres prédéfinis")},
        {File1, QStringLiteral("Menu ou Maj+F10 : conversion en BMP")},
        {Text2, QStringLiteral("Nombre d'unités entre deux changements de la rotation")},
        {Command1, QStringLiteral("Applique le choix au fichier courant")},
        {Command2, QStringLiteral("Enregistre les réglages et quitte")},
        {image1, QStringLiteral("Bouton enfoncé : l'image à la taille du contour de l'écran")},
        {Label1, QStringLiteral("Informations sur l'image et l'écran")},
    };
    for (const auto &[widget, description] : described)
        widget->setAccessibleDescription(description);
    // Popped up, the menus show no title of their own.
    const std::pair<QMenu *, QString> menus[] = {
        {Mnu, QStringLiteral("Aide")},
        {Mnu_Fichier, QStringLiteral("Velumbra")},
        {Mnu_ConvDossier, QStringLiteral("Conversion du dossier en BMP")},
        {Mnu_ConvFichier, QStringLiteral("Conversion des fichiers en BMP")},
        {Mnu_Voir, QStringLiteral("Filtres prédéfinis")},
    };
    for (const auto &[menu, name] : menus)
        menu->setAccessibleName(name);
}

void FrmVLBUi::createKeyboardAids() const
{
    new FocusRing(Dir1);
    new FocusRing(File1);
    new MenuKeys(Dir1, Mnu_ConvDossier, MenuKeys::Keys::ContextMenu);
    new MenuKeys(File1, Mnu_ConvFichier, MenuKeys::Keys::ContextMenu);
    new MenuKeys(Text1, Mnu_Voir, MenuKeys::Keys::DropDown);
}

} // namespace velumbra
