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

/// Prompter shown as real QMessageBox dialogs.
class QtPrompter final : public Prompter
{
public:
    Answer ask(QWidget *parent, const QString &title, const QString &text,
               AnswerButtons buttons) override;
    void tell(QWidget *parent, const QString &title, const QString &text) override;
};

} // namespace velumbra
