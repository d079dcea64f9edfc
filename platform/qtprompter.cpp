// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/prompter.h"

#include <QMessageBox>

namespace velumbra {

Answer QtPrompter::ask(QWidget *parent, const QString &title, const QString &text,
                       AnswerButtons buttons)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    if (buttons == AnswerButtons::YesNoCancel) {
        box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setEscapeButton(QMessageBox::No);
    }
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == AnswerButtons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
}

void QtPrompter::tell(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace velumbra
