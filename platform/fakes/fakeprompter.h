// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/prompter.h"

#include <QStringList>
#include <deque>

namespace velumbra {

/// Answers questions from a script and records every box it was asked to show.
class FakePrompter final : public Prompter
{
public:
    struct Shown
    {
        QString title;
        QString text;
        bool question = false;
        AnswerButtons buttons = AnswerButtons::YesNo;
    };
    std::deque<Answer> answers; ///< played back in order; Yes once they run out
    std::vector<Shown> shown;

    Answer ask(QWidget *, const QString &title, const QString &text, AnswerButtons buttons) override
    {
        shown.push_back({title, text, true, buttons});
        if (answers.empty())
            return Answer::Yes;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void tell(QWidget *, const QString &title, const QString &text) override
    {
        shown.push_back({title, text, false, AnswerButtons::YesNo});
    }
};

} // namespace velumbra
