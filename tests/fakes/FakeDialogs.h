// Dialogs that answer from a script and record what they were asked.
#pragma once

#include "Dialogs.h"

#include <QStringList>

namespace lw::fakes {

class FakeDialogs : public Dialogs {
public:
    QStringList messages; // "title|text" of each message box
    QStringList prompts;  // "title|prompt|default" of each input box
    InputAnswer nextAnswer{QStringLiteral("10"), false};

    void MsgBox(const QString& text, const QString& title) override { messages << title + u'|' + text; }
    InputAnswer InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) override
    {
        prompts << title + u'|' + prompt + u'|' + defaultAnswer;
        return nextAnswer;
    }
};

} // namespace lw::fakes
