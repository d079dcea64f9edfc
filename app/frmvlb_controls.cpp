// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's wiring: which handler each control and menu entry reaches,
// and the two menu entries that only open something else.
#include "app/frmvlb.h"

#include "about/aboutservices.h"
#include "about/frmabout.h"
#include "app/traypresence.h"
#include "app/widgets.h"
#include "browser/drivelist.h"
#include "browser/filelist.h"
#include "browser/folderlist.h"
#include "browser/folderopening.h"
#include "convert/conversion.h"
#include "platform/webpage.h"

#include <QButtonGroup>
#include <QMenu>
#include <QTimer>

namespace velumbra {

void FrmVLB::connectControls()
{
    connect(Timer1, &QTimer::timeout, this, &FrmVLB::onTimer1Tick);
    connect(Command2, &QPushButton::clicked, this, &QWidget::close);
    connect(Command1, &QPushButton::clicked, this, &FrmVLB::okAction);
    connect(Command1, &ReleaseButton::released, this, &FrmVLB::onCommand1Release);
    // Toggled, not clicked: the arrow keys and the accessibility action
    // check a button without always clicking it, and each must act as a click.
    connect(optUnitesGroup, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked)
            onOptUnitesClick(index);
    });
    connect(option1Group, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked)
            onOption1Click(index);
    });

    connect(Text1, &EnterLineEdit::entered, this, &FrmVLB::applyPattern);
    // Held down, the preview shows the picture stretched over the whole
    // screen outline; released, it goes back to the list's current file.
    connect(image1, &PressLabel::pressed, this, [this] { image1->resize(Shape1->size()); });
    connect(image1, &PressLabel::released, this, &FrmVLB::onFile1Click);
    connect(Drive1, &DriveList::driveChanged, this, &FrmVLB::onDrive1Change);
    connect(Dir1, &FolderList::pathChanged, this, &FrmVLB::onDir1Change);
    connect(Label3, &ReleaseLabel::released, this,
            [this](Qt::MouseButton, const QPoint &pos) { Mnu_Voir->popup(pos); });
    connect(Dir1, &FolderList::rightButtonReleased, this,
            [this](const QPoint &pos) { Mnu_ConvDossier->popup(pos); });
    connect(File1, &FileList::rightButtonReleased, this,
            [this](const QPoint &pos) { Mnu_ConvFichier->popup(pos); });
    connect(File1, &FileList::currentFileClicked, this, &FrmVLB::onFile1Click);
    connect(Dir1, &FolderList::openFailed, this, &FrmVLB::reportFolderProblem);
    Dir1->setOpener(
        [this](const QString &path) { return openFolder(*Dir1, *File1, path, File1->pattern()); });

    connect(Mnu_Apropos, &QAction::triggered, this, &FrmVLB::onMnuApropos);
    connect(Mnu_Aide, &QAction::triggered, this, &FrmVLB::onMnuAide);
    connect(mnu_afficher, &QAction::triggered, this, [this] { m_tray->showWindow(); });
    connect(mnu_quitter, &QAction::triggered, this, &QWidget::close);
    const QList<QAction *> presets = Mnu_Voir->actions();
    for (QAction *preset : presets)
        if (const QString pattern = preset->data().toString(); !pattern.isEmpty())
            connect(preset, &QAction::triggered, this, [this, pattern] { applyPreset(pattern); });
    connect(Mnu_DossierBmp, &QAction::triggered, this,
            [this] { convertToBmp(ConversionScope::WholeFolder); });
    connect(Mnu_FichierBMP, &QAction::triggered, this,
            [this] { convertToBmp(ConversionScope::SelectedFiles); });
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
