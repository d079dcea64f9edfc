// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frmvlb.h"

#include "about/frmabout.h"
#include "app/core/savedstate.h"
#include "app/traypresence.h"
#include "app/widgets.h"
#include "app/windowrotationview.h"
#include "browser/core/paths.h"
#include "browser/core/preview.h"
#include "browser/drivelist.h"
#include "browser/filelist.h"
#include "browser/folderlist.h"
#include "browser/folderopening.h"
#include "browser/folderreader.h"
#include "browser/previewdisplay.h"
#include "convert/bmpconverter.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/screen.h"
#include "platform/settings.h"
#include "platform/tray.h"
#include "rotation/interval.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QMenu>
#include <QSignalBlocker>
#include <QTimer>

namespace velumbra {
namespace {

QString fromStd(const std::string &s)
{
    return QString::fromStdString(s);
}

void checkQuietly(QButtonGroup &group, int index)
{
    const QSignalBlocker quiet(group);
    group.button(index)->setChecked(true);
}

QString currentFileCaption(const QString &path)
{
    return QString::fromUtf8(kCaptionPrefix) + shownText(path);
}

/// The full name of @p name in the folder list's folder, bytes that are not UTF-8 kept.
QString filePath(const FolderList &folders, const QString &name)
{
    return fromFileSystem(joinPath(fileSystemPath(folders.path()), fileSystemPath(name),
                                   QDir::separator().toLatin1()));
}

} // namespace

FrmVLB::FrmVLB(AppContext context, QWidget *parent)
    : QMainWindow(parent), m_ctx(context), m_rotation(context.clock, context.random)
{
    setupUi(this);
    m_bmpConverter = std::make_unique<BmpConverter>();
    m_rotationView = std::make_unique<WindowRotationView>(
        *File1, *Dir1, m_ctx.wallpaper,
        WindowRotationView::Window{[this](const QString &path) { showCurrentFile(path); },
                                   [this] { return m_unloaded; }});
    connectControls();

    // The lists start on the drive and folder the program was started in.
    (void)openFolder(*Dir1, *File1, QDir::currentPath(), QStringLiteral("*.*"));
    Drive1->showDrive(Drive1->driveOf(Dir1->path()));

    // The icon is in the notification area from the start, before any rotation.
    m_tray = std::make_unique<TrayPresence>(m_ctx.tray, *this, *Mnu_Fichier);
}

FrmVLB::~FrmVLB()
{
    delete m_about;
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
    steps.reading = [this](const QString &source) {
        FichierPapierPeint = source;
        setWindowTitle(currentFileCaption(source));
    };
    steps.writing = [this](const QString &copy) { FichierPapierPeint = copy; };
    BmpConversion conversion(*m_bmpConverter, BoundPrompter(m_ctx.prompter, this));
    conversion.run(scope, steps);
}

void FrmVLB::load()
{
    // Restoring reports nothing: a saved folder that is gone is simply not restored.
    m_loading = true;
    if (const std::optional<SavedState> saved = readSavedState(m_ctx.settings)) {
        Drive1->setDrive(fromStd(saved->drive));
        Text1->setText(fromStd(saved->pattern));
        // Read once, already under the restored pattern.
        (void)openFolder(*Dir1, *File1, fromStd(saved->folder), Text1->text());
        File1->setFileName(fromStd(saved->fileName));
        // Each saved choice is handled once, even when it was already the
        // checked one, so the restored count is always validated.
        if (saved->option) {
            checkQuietly(*option1Group, *saved->option);
            onOption1Click(*saved->option);
        }
        Text2->setText(fromStd(saved->time));
        if (saved->unites) {
            checkQuietly(*optUnitesGroup, *saved->unites);
            onOptUnitesClick(*saved->unites);
        }
    }
    if (File1->pattern() != Text1->text())
        File1->setPattern(Text1->text());
    Mnu_Fichier->menuAction()->setVisible(false);
    m_ctx.random.seed(std::uint32_t(m_ctx.clock.secondsSinceMidnight()));
    if (const std::optional<ScreenSize> size = m_ctx.screen.primarySize()) {
        HauteurEcran = size->height;
        LargeurEcran = size->width;
    }
    fitToScreen(LargeurEcran, HauteurEcran);
    Label1->setText(fromStd(screenSizeLine(LargeurEcran, HauteurEcran)));
    m_loading = false;
}

void FrmVLB::openAndShow(const QString &folderOrFile)
{
    // Shown first: a minimised window decodes no preview.
    m_tray->showWindow();
    if (folderOrFile.isEmpty())
        return;
    const QFileInfo target(folderOrFile);
    if (const Result<> opened = openFolder(
            *Dir1, *File1, target.isDir() ? target.absoluteFilePath() : target.absolutePath(),
            File1->pattern());
        !opened) {
        reportFolderProblem(fromStd(opened.reason()));
        return;
    }
    if (target.isDir())
        return;
    // Current even where the pattern hides it: the user named this file.
    File1->setFileName(target.fileName());
    FichierPapierPeint = filePath(*Dir1, target.fileName());
    ChargeImage();
}

void FrmVLB::onOption1Click(int index)
{
    Timer1->stop();
    const std::optional<Mode> mode = modeAt(index);
    const bool interval = mode && hasInterval(*mode);
    Label2->setEnabled(interval);
    Text2->setEnabled(interval);
    FrameUnites->setEnabled(interval);
}

void FrmVLB::onOptUnitesClick(int)
{
    TestIntervalle();
}

void FrmVLB::TestIntervalle()
{
    const RotationInterval r =
        computeInterval(Text2->text().toStdString(), optUnitesGroup->checkedId());
    IntervalleRotation = r.days;
    Text2->setText(fromStd(formatCount(r.count)));
}

void FrmVLB::onDrive1Change(const QString &drive)
{
    if (const Result<> opened = openFolder(*Dir1, *File1, drive, File1->pattern()); !opened) {
        reportFolderProblem(fromStd(opened.reason()));
        // The lists stay on the last folder that could be read; so does the drive.
        Drive1->showDrive(Drive1->driveOf(Dir1->path()));
    }
}

void FrmVLB::onDir1Change(const QString &path)
{
    // Opened through openFolder(), the file list already shows the folder.
    if (path == File1->path()) {
        Drive1->showDrive(Drive1->driveOf(path));
        return;
    }
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
    FichierPapierPeint = filePath(*Dir1, File1->fileName());
    ChargeImage();
}

void FrmVLB::ChargeImage()
{
    clearPreview(*image1, *Label1, FichierPapierPeint);
    // Minimised, the rotation runs from the tray: nothing is decoded for a
    // preview no one sees.
    if (!isMinimized())
        showPreview(*image1, *Label1, FichierPapierPeint, devicePixelRatioF(), LargeurEcran,
                    HauteurEcran);
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

void FrmVLB::closeEvent(QCloseEvent *event)
{
    unload();
    event->accept();
    QCoreApplication::exit(m_exitCode);
}

void FrmVLB::showCurrentFile(const QString &path)
{
    FichierPapierPeint = path;
    ChargeImage();
    setWindowTitle(currentFileCaption(FichierPapierPeint));
    m_ctx.tray.setToolTip(windowTitle());
}

void FrmVLB::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Timer1->stop();
    writeWindowState(m_ctx.settings, controlState());
    if (const Result<> saved = m_ctx.settings.commit(); !saved) {
        m_exitCode = 1;
        m_ctx.prompter.tell(this, QStringLiteral("Velumbra"), fromStd(saved.reason()));
    }
}

} // namespace velumbra
