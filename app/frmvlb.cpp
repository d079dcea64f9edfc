#include "app/frmvlb.h"

#include "about/aboutservices.h"
#include "about/frmabout.h"
#include "app/core/savedstate.h"
#include "app/widgets.h"
#include "browser/core/paths.h"
#include "browser/drivelist.h"
#include "browser/filelist.h"
#include "browser/folderlist.h"
#include "browser/picturepreview.h"
#include "convert/bmpconverter.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/screen.h"
#include "platform/settings.h"
#include "platform/tray.h"
#include "platform/wallpaper/wallpaper.h"
#include "rotation/interval.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <cmath>

namespace velumbra {
namespace {

constexpr int kClientWidth = 594;
constexpr int kClientHeight = 645;

QString fromStd(const std::string &s)
{
    return QString::fromStdString(s);
}

QString withoutMnemonic(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

QAction *addItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

FrmVLB::FrmVLB(AppContext context, QWidget *parent)
    : QMainWindow(parent), m_ctx(context), m_rotation(context.clock, context.random)
{
    setObjectName(QStringLiteral("FrmVLB"));
    setWindowTitle(QStringLiteral("Velumbra °VLB°    Choix du papier-paint ..."));
    setWindowIcon(QIcon(QStringLiteral(":/velumbra/velumbra.png")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    // The layout was drawn for an 8-point interface font; larger defaults
    // would crowd the captions out of their boxes.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &FrmVLB::onTimer1Tick);

    // Kept invisible: it only measures and converts pictures.
    Picture1 = new QLabel(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(256, 256, 65, 49);
    Picture1->hide();

    createButtons(client);
    createChoice(client);
    createBrowser(client);
    createPreview(client);
    createMenus();
    createConversions();
    setTabOrderChain();
    setAccessibleNames();

    // The icon is in the notification area from the start, before any rotation.
    m_ctx.tray.setToolTip(QStringLiteral("°VLB° Velumbra"));
    m_ctx.tray.onActivated = [this] { onTrayActivated(); };
    m_ctx.tray.setVisible(true);
}

FrmVLB::~FrmVLB()
{
    m_ctx.tray.onActivated = nullptr;
    delete m_about;
}

void FrmVLB::createButtons(QWidget *client)
{
    Command2 = new QPushButton(QStringLiteral("Fermer"), client);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(472, 160, 113, 33);
    Command2->setAutoDefault(true);
    connect(Command2, &QPushButton::clicked, this, &QWidget::close);

    auto *ok = new ReleaseButton(QStringLiteral("OK"), client);
    Command1 = ok;
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(320, 160, 113, 33);
    Command1->setAutoDefault(true);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &FrmVLB::okAction);
    connect(ok, &ReleaseButton::released, this, &FrmVLB::onCommand1Release);
}

void FrmVLB::createChoice(QWidget *client)
{
    Frame1 = new QGroupBox(QStringLiteral("Votre choix :"), client);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(320, 0, 265, 153);

    FrameUnites = new QGroupBox(QStringLiteral("Unités"), Frame1);
    FrameUnites->setObjectName(QStringLiteral("FrameUnites"));
    FrameUnites->setGeometry(136, 72, 121, 73);

    m_optUnitesGroup = new QButtonGroup(this);
    const std::array<QString, 3> units{QStringLiteral("Seconde(s)"), QStringLiteral("Minute(s)"),
                                       QStringLiteral("Heure(s)")};
    for (int i = 0; i < 3; ++i) {
        OptUnites[i] = new QRadioButton(units[i], FrameUnites);
        OptUnites[i]->setObjectName(QStringLiteral("OptUnites"));
        OptUnites[i]->setProperty("index", i);
        OptUnites[i]->setGeometry(8, 16 + 16 * i, 105, 17);
        m_optUnitesGroup->addButton(OptUnites[i], i);
    }
    OptUnites[1]->setChecked(true);
    connect(m_optUnitesGroup, &QButtonGroup::idClicked, this, &FrmVLB::onOptUnitesClick);

    Text2 = new QLineEdit(QStringLiteral("5"), Frame1);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(88, 104, 41, 19);

    m_option1Group = new QButtonGroup(this);
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
        m_option1Group->addButton(Option1[i], i);
    }
    Option1[2]->setChecked(true);
    // The middle button overlaps the two-line one; keep the wrapped caption on top.
    Option1[2]->raise();
    connect(m_option1Group, &QButtonGroup::idClicked, this, &FrmVLB::onOption1Click);

    Label2 = new QLabel(QStringLiteral("Toutes les"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(32, 104, 57, 25);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void FrmVLB::createBrowser(QWidget *client)
{
    Text1 = new QLineEdit(QStringLiteral("*.bmp;*.rle"), client);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(136, 8, 137, 19);
    Text1->installEventFilter(this);

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

    connect(Drive1, &DriveList::driveChanged, this, &FrmVLB::onDrive1Change);
    connect(Dir1, &FolderList::pathChanged, this, &FrmVLB::onDir1Change);
    connect(Label3, &ReleaseLabel::released, this,
            [this](Qt::MouseButton, const QPoint &pos) { popupAt(Mnu_Voir, pos); });
    connect(Dir1, &FolderList::rightButtonReleased, this,
            [this](const QPoint &pos) { popupAt(Mnu_ConvDossier, pos); });
    connect(File1, &FileList::rightButtonReleased, this,
            [this](const QPoint &pos) { popupAt(Mnu_ConvFichier, pos); });
    connect(File1, &FileList::currentFileClicked, this, &FrmVLB::onFile1Click);
    connect(Dir1, &FolderList::openFailed, this, &FrmVLB::reportFolderProblem);

    // The lists start on the drive and folder the program was started in.
    (void)Dir1->setPath(QDir::currentPath());
    Drive1->showDrive(Drive1->driveOf(Dir1->path()));
    File1->setPattern(QStringLiteral("*.*"));
    (void)File1->setPath(Dir1->path());
}

void FrmVLB::createPreview(QWidget *client)
{
    image1 = new QLabel(client);
    image1->setObjectName(QStringLiteral("image1"));
    image1->setGeometry(8, 232, 400, 295);
    image1->setScaledContents(true);
    image1->installEventFilter(this);

    Label1 = new QLabel(client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 200, 577, 33);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setWordWrap(true);

    Shape1 = new OutlineShape(client);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(8, 232, 105, 97);
    Shape1->raise();
}

void FrmVLB::createMenus()
{
    Mnu = menuBar()->addMenu(QStringLiteral("&?"));
    Mnu->setObjectName(QStringLiteral("Mnu"));
    connect(addItem(Mnu, "Mnu_Apropos", QStringLiteral("À &propos")), &QAction::triggered, this,
            &FrmVLB::onMnuApropos);
    connect(addItem(Mnu, "Mnu_Aide", QStringLiteral("&Aide en ligne (WEB)")), &QAction::triggered,
            this, &FrmVLB::onMnuAide);

    // The other menus are only ever popped up, never shown in the menu bar.
    Mnu_Fichier = new QMenu(QStringLiteral("&Fichier"), this);
    Mnu_Fichier->setObjectName(QStringLiteral("Mnu_Fichier"));
    QAction *show = addItem(Mnu_Fichier, "mnu_afficher", QStringLiteral("&Afficher"));
    connect(show, &QAction::triggered, this, &FrmVLB::showFromTray);
    QAction *quit = addItem(Mnu_Fichier, "mnu_quitter", QStringLiteral("&Quitter"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    Mnu_ConvDossier = new QMenu(QStringLiteral("ConvDossier"), this);
    Mnu_ConvDossier->setObjectName(QStringLiteral("Mnu_ConvDossier"));
    addItem(Mnu_ConvDossier, "Mnu_DossierBmp", QStringLiteral("Convertir contenu Dossier en BMP"));
    addItem(Mnu_ConvDossier, "Mnu_AnnulerD", QStringLiteral("Annuler"));

    Mnu_ConvFichier = new QMenu(QStringLiteral("ConvFichier"), this);
    Mnu_ConvFichier->setObjectName(QStringLiteral("Mnu_ConvFichier"));
    addItem(Mnu_ConvFichier, "Mnu_FichierBMP", QStringLiteral("Convertir Fichier en BMP"));
    addItem(Mnu_ConvFichier, "Mnu_AnnulerF", QStringLiteral("Annuler"));

    Mnu_Voir = new QMenu(QStringLiteral("Voir"), this);
    Mnu_Voir->setObjectName(QStringLiteral("Mnu_Voir"));
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
    for (const auto &p : presets) {
        QAction *a = addItem(Mnu_Voir, p.name, QString::fromUtf8(p.caption));
        const QString pattern = QString::fromLatin1(p.pattern);
        connect(a, &QAction::triggered, this, [this, pattern] { applyPreset(pattern); });
    }
    addItem(Mnu_Voir, "Mnu_V_Annuler", QStringLiteral("Annuler"));
}

void FrmVLB::createConversions()
{
    m_bmpConverter = std::make_unique<BmpConverter>();
    const auto *folder = Mnu_ConvDossier->findChild<QAction *>(QStringLiteral("Mnu_DossierBmp"));
    const auto *files = Mnu_ConvFichier->findChild<QAction *>(QStringLiteral("Mnu_FichierBMP"));
    connect(folder, &QAction::triggered, this,
            [this] { convertToBmp(ConversionScope::WholeFolder); });
    connect(files, &QAction::triggered, this,
            [this] { convertToBmp(ConversionScope::SelectedFiles); });
}

// Runs to its end without handling events: the caption is the only progress
// shown, and the window manager draws it as soon as it is set.
void FrmVLB::convertToBmp(ConversionScope scope)
{
    ConversionSteps steps;
    steps.folder = Dir1->path();
    steps.count = [this] { return File1->count(); };
    steps.entry = [this](int i) { return File1->entry(i); };
    steps.isSelected = [this](int i) { return File1->isSelected(i); };
    steps.setCaption = [this](const QString &caption) { setWindowTitle(caption); };
    steps.setFichierPapierPeint = [this](const QString &file) { FichierPapierPeint = file; };
    BmpConversion conversion(*m_bmpConverter, m_ctx.prompter, this);
    conversion.run(scope, steps);
}

void FrmVLB::setTabOrderChain()
{
    const QWidget *chain[] = {Drive1,     Dir1,     Text1,        File1,        Option1[0],
                              Option1[2], Text2,    OptUnites[0], OptUnites[1], OptUnites[2],
                              Command1,   Command2, Option1[1]};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i)
        setTabOrder(const_cast<QWidget *>(chain[i]), const_cast<QWidget *>(chain[i + 1]));
}

void FrmVLB::setAccessibleNames()
{
    const std::pair<QWidget *, QString> named[] = {
        {Drive1, QStringLiteral("Lecteur")},
        {Dir1, QStringLiteral("Dossiers")},
        {File1, QStringLiteral("Fichiers")},
        {Text1, QStringLiteral("Filtre des fichiers")},
        {Label3, QStringLiteral("Menu Voir : filtres prédéfinis")},
        {image1, QStringLiteral("Aperçu de l'image à demi-taille")},
        {Label1, QStringLiteral("Informations sur l'image et l'écran")},
        {Shape1, QStringLiteral("Contour de l'écran à demi-taille")},
        {Text2, QStringLiteral("Intervalle de rotation")},
        {Picture1, QStringLiteral("Image de travail")},
    };
    for (const auto &[widget, name] : named)
        widget->setAccessibleName(name);
    // Controls with a caption of their own are read as that caption.
    const QList<QAbstractButton *> buttons = findChildren<QAbstractButton *>();
    for (QAbstractButton *b : buttons)
        b->setAccessibleName(withoutMnemonic(b->text()));
    for (QGroupBox *g : {Frame1, FrameUnites})
        g->setAccessibleName(g->title());
    Label2->setAccessibleName(Label2->text());
}

void FrmVLB::load()
{
    // Restoring reports nothing: a saved folder that is gone is simply not restored.
    m_loading = true;
    if (const std::optional<SavedState> saved = readSavedState(m_ctx.settings)) {
        Drive1->setDrive(fromStd(saved->drive));
        (void)Dir1->setPath(fromStd(saved->folder));
        Text1->setText(fromStd(saved->pattern));
        File1->setFileName(fromStd(saved->fileName));
        if (saved->option)
            selectOption1(*saved->option);
        Text2->setText(fromStd(saved->time));
        if (saved->unites)
            selectOptUnites(*saved->unites);
    }
    File1->setPattern(Text1->text());
    Mnu_Fichier->menuAction()->setVisible(false);
    m_ctx.random.seed(std::uint32_t(m_ctx.clock.secondsSinceMidnight()));
    if (const std::optional<ScreenSize> size = m_ctx.screen.primarySize()) {
        HauteurEcran = size->height;
        LargeurEcran = size->width;
    }
    Shape1->resize(int(std::lround(LargeurEcran / 2.0)), int(std::lround(HauteurEcran / 2.0)));
    Shape1->move(image1->pos());
    Label1->setText(fromStd(screenSizeLine(LargeurEcran, HauteurEcran)));
    Text1->setGeometry(Text1->x(), Drive1->y(), Text1->width(), Drive1->height());
    File1->setGeometry(File1->x(), Dir1->y(), File1->width(), Dir1->height());
    m_loading = false;
}

void FrmVLB::selectOption1(int index)
{
    Option1[std::size_t(index)]->setChecked(true);
    onOption1Click(index);
}

void FrmVLB::selectOptUnites(int index)
{
    OptUnites[std::size_t(index)]->setChecked(true);
    onOptUnitesClick(index);
}

void FrmVLB::onOption1Click(int index)
{
    Timer1->stop();
    const bool rotation = index == 2;
    Label2->setEnabled(rotation);
    Text2->setEnabled(rotation);
    FrameUnites->setEnabled(rotation);
}

void FrmVLB::onOptUnitesClick(int)
{
    TestIntervalle();
}

void FrmVLB::TestIntervalle()
{
    const RotationInterval r =
        computeInterval(Text2->text().toStdString(), selectedIndex(m_optUnitesGroup));
    IntervalleRotation = r.days;
    Text2->setText(fromStd(formatCount(r.count)));
}

int FrmVLB::selectedIndex(const QButtonGroup *group) const
{
    return group->checkedId();
}

void FrmVLB::onDrive1Change(const QString &drive)
{
    if (const Result<> opened = Dir1->setPath(drive); !opened) {
        reportFolderProblem(fromStd(opened.reason()));
        // The lists stay on the last folder that could be read; so does the drive.
        Drive1->showDrive(Drive1->driveOf(Dir1->path()));
    }
}

void FrmVLB::onDir1Change(const QString &path)
{
    if (const Result<> listed = File1->setPath(path); !listed) {
        reportFolderProblem(fromStd(listed.reason()));
        (void)Dir1->setPath(File1->path());
        return;
    }
    Drive1->showDrive(Drive1->driveOf(path));
}

void FrmVLB::reportFolderProblem(const QString &message)
{
    if (!m_loading)
        m_ctx.prompter.tell(this, QStringLiteral("Velumbra"), message);
}

void FrmVLB::onFile1Click()
{
    FichierPapierPeint = QString::fromStdString(joinPath(
        Dir1->path().toStdString(), File1->fileName().toStdString(), QDir::separator().toLatin1()));
    ChargeImage();
}

void FrmVLB::ChargeImage()
{
    image1->hide();
    image1->clear();
    Label1->setText(FichierPapierPeint);
    // Minimised, the rotation runs from the tray: nothing is decoded for a
    // preview no one sees.
    if (isMinimized())
        return;
    const PreviewPicture picture = decodePreview(FichierPapierPeint, devicePixelRatioF());
    if (picture.size) {
        Label1->setText(QString::fromStdString(
            infoLine(FichierPapierPeint.toStdString(), picture.size, LargeurEcran, HauteurEcran)));
        const PixelSize shown = previewPixels(*picture.size);
        image1->resize(shown.width, shown.height);
        image1->setPixmap(QPixmap::fromImage(picture.image));
    }
    image1->show();
}

void FrmVLB::applyPattern()
{
    File1->setPattern(Text1->text());
}

void FrmVLB::applyPreset(const QString &pattern)
{
    Text1->setText(pattern);
    applyPattern();
}

void FrmVLB::popupAt(QMenu *menu, const QPoint &globalPos)
{
    menu->popup(globalPos);
}

bool FrmVLB::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == image1) {
        // Held down, the preview shows the picture stretched over the whole
        // screen outline; released, it goes back to the list's current file.
        if (event->type() == QEvent::MouseButtonPress)
            image1->resize(Shape1->size());
        else if (event->type() == QEvent::MouseButtonRelease)
            onFile1Click();
    }
    // Enter in the pattern box applies the pattern there and goes no further:
    // it must not also press the default button.
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            applyPattern();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmVLB::keyPressEvent(QKeyEvent *event)
{
    // What the focused control leaves unhandled: Enter presses the default
    // button, Escape the cancel button.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Command1->click();
        return;
    case Qt::Key_Escape:
        Command2->click();
        return;
    default:
        QMainWindow::keyPressEvent(event);
    }
}

void FrmVLB::closeEvent(QCloseEvent *event)
{
    unload();
    event->accept();
    QCoreApplication::exit(m_exitCode);
}

void FrmVLB::okAction()
{
    if (Option1[0]->isChecked())
        setWallpaperAndQuit(0);
    else if (Option1[1]->isChecked())
        setWallpaperAndQuit(1);
    else if (Option1[2]->isChecked())
        startRotation();
}

void FrmVLB::setWallpaperAndQuit(int mode)
{
    // With no current file there is nothing to set: an empty path would take
    // the user's wallpaper away (for good, in the second mode).
    if (!FichierPapierPeint.isEmpty()) {
        const Result<> result = m_ctx.wallpaper.setWallpaper(
            FichierPapierPeint.toStdString(),
            mode == 0 ? WallpaperLifetime::UntilLogoff : WallpaperLifetime::ForGood);
        if (!result.ok())
            m_ctx.prompter.tell(this, QStringLiteral("Velumbra"),
                                QStringLiteral("Le papier peint n'a pas pu être changé : %1")
                                    .arg(fromStd(result.reason())));
    }
    close();
}

void FrmVLB::startRotation()
{
    TestIntervalle();
    const Answer answer =
        m_ctx.prompter.ask(this, QStringLiteral("°VLB° Tapisol, par Ardeval"),
                           QStringLiteral("Voulez-vous désactiver l'éventuel «Screen Saver»"),
                           AnswerButtons::YesNoCancel);
    if (answer == Answer::Cancel)
        return;
    if (answer == Answer::Yes)
        DesactiveScreenSaver();
    Timer1->start(1000);
    onTimer1Tick();
    if (ClicDroit) {
        m_ctx.tray.setVisible(false);
        return;
    }
    m_ctx.tray.setVisible(true);
    showMinimized();
    // Without a notification area an invisible window could never be reached
    // again: it then stays minimised on the task bar.
    if (m_ctx.tray.isAvailable()) {
        hide();
        m_hiddenInTray = true;
    }
}

void FrmVLB::DesactiveScreenSaver()
{
    (void)m_ctx.wallpaper.disableScreenSaver();
}

void FrmVLB::onCommand1Release(Qt::MouseButton button, bool overButton)
{
    ClicDroit = button == Qt::RightButton;
    // A left release over the button was already acted on as a click; the
    // other buttons make no click, so their release alone carries out OK.
    if (!Timer1->isActive() && button != Qt::LeftButton && overButton)
        okAction();
}

void FrmVLB::onTimer1Tick()
{
    if (m_hiddenInTray && !isVisible() && !m_ctx.tray.isAvailable()) {
        // The notification area went away: bring the window back where it can be found.
        m_hiddenInTray = false;
        showMinimized();
    }
    if (m_inTick || !IntervalleRotation)
        return;
    m_inTick = true;
    m_rotation.tick(*this, *IntervalleRotation);
    m_inTick = false;
}

void FrmVLB::onTrayActivated()
{
    Mnu_Fichier->popup(QCursor::pos());
}

void FrmVLB::showFromTray()
{
    m_hiddenInTray = false;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

std::int64_t FrmVLB::fileCount() const
{
    return File1->count();
}

std::string FrmVLB::filePath(std::int64_t index) const
{
    return joinPath(Dir1->path().toStdString(), File1->entry(int(index)).toStdString(),
                    QDir::separator().toLatin1());
}

void FrmVLB::processPendingEvents()
{
    QCoreApplication::processEvents();
}

bool FrmVLB::isEnding() const
{
    return m_unloaded;
}

void FrmVLB::showCurrentFile(const std::string &path)
{
    FichierPapierPeint = fromStd(path);
    ChargeImage();
    setWindowTitle(QStringLiteral("°VLB°  Papier peint : ") + FichierPapierPeint);
    m_ctx.tray.setToolTip(windowTitle());
}

void FrmVLB::setWallpaperUntilLogoff(const std::string &path)
{
    (void)m_ctx.wallpaper.setWallpaper(path, WallpaperLifetime::UntilLogoff);
}

void FrmVLB::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Timer1->stop();
    WindowState state;
    state.drive = Drive1->drive().toStdString();
    state.folder = Dir1->path().toStdString();
    state.pattern = Text1->text().toStdString();
    state.fileName = File1->fileName().toStdString();
    state.option = selectedIndex(m_option1Group);
    state.time = Text2->text().toStdString();
    state.unites = selectedIndex(m_optUnitesGroup);
    writeWindowState(m_ctx.settings, state);
    if (const Result<> saved = m_ctx.settings.commit(); !saved) {
        m_exitCode = 1;
        m_ctx.prompter.tell(this, QStringLiteral("Velumbra"), fromStd(saved.reason()));
    }
}

void FrmVLB::onMnuApropos()
{
    // One dialog at a time, with no owner: the main window stays usable and a
    // second choice only brings it forward. Closing it deletes it, so the next
    // showing loads it afresh.
    if (!m_about) {
        m_about = new frmAbout(m_ctx.about, m_ctx.prompter);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void FrmVLB::onMnuAide()
{
    m_ctx.about.web.open(m_ctx.about.helpAddress);
}

} // namespace velumbra
