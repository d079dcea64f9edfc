// SPDX-License-Identifier: GPL-3.0-or-later
// The OK button and the rotation it starts: what OK does in each mode, the
// question about the screen saver, and the timer's tick.
#include "app/frmvlb.h"

#include "app/traypresence.h"
#include "app/widgets.h"
#include "app/windowrotationview.h"
#include "browser/folderreader.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/wallpaper/wallpaper.h"
#include "rotation/okaction.h"

#include <QButtonGroup>
#include <QTimer>

namespace velumbra {

void FrmVLB::okAction()
{
    const std::optional<Mode> mode = modeAt(option1Group->checkedId());
    if (!mode)
        return;
    const OkDecision decision = decideOk(*mode, !FichierPapierPeint.isEmpty());
    if (decision.startsRotation)
        startRotation();
    if (decision.setFor) {
        const Result<> result =
            m_ctx.wallpaper.setWallpaper(fileSystemPath(FichierPapierPeint), *decision.setFor);
        if (!result.ok())
            m_ctx.prompter.tell(this, QStringLiteral("Velumbra"),
                                QStringLiteral("Le papier peint n'a pas pu être changé : %1")
                                    .arg(QString::fromStdString(result.reason())));
    }
    if (decision.quits)
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
    m_tray->rotationStarted(ClicDroit);
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
    m_tray->keepReachable();
    if (m_inTick || !IntervalleRotation)
        return;
    m_inTick = true;
    m_rotation.tick(*m_rotationView, *IntervalleRotation);
    m_inTick = false;
}

} // namespace velumbra
