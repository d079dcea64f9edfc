// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace velumbra {

/// The buttons of a question, as message boxes offer them.
enum class AnswerButtons { YesNo, YesNoCancel };
enum class Answer { Yes, No, Cancel };

/// Modal message boxes with a French text, a title and no icon.
class Prompter
{
public:
    virtual ~Prompter() = default;

    /// Asks a question with Yes as the default button; closing the box counts
    /// as No (YesNo) or Cancel (YesNoCancel).
    virtual Answer ask(QWidget *parent, const QString &title, const QString &text,
                       AnswerButtons buttons) = 0;

    /// Shows a notice with an OK button only and waits until it is closed.
    virtual void tell(QWidget *parent, const QString &title, const QString &text) = 0;
};

/// A prompter bound to the window its boxes belong to, where it is made, so
/// that code that asks the user something never sees a widget.
class BoundPrompter
{
public:
    explicit BoundPrompter(Prompter &prompter, QWidget *parent = nullptr)
        : m_prompter(prompter), m_parent(parent)
    {
    }

    Answer ask(const QString &title, const QString &text, AnswerButtons buttons) const
    {
        return m_prompter.ask(m_parent, title, text, buttons);
    }
    void tell(const QString &title, const QString &text) const
    {
        m_prompter.tell(m_parent, title, text);
    }

private:
    Prompter &m_prompter;
    QWidget *m_parent;
};

/// Prompter shown as real QMessageBox dialogs.
class QtPrompter final : public Prompter
{
public:
    Answer ask(QWidget *parent, const QString &title, const QString &text,
               AnswerButtons buttons) override;
    void tell(QWidget *parent, const QString &title, const QString &text) override;
};

} // namespace velumbra
