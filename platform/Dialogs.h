// Modal message box and input box.
#pragma once

#include <QString>

namespace lw {

struct InputAnswer {
    QString text;
    bool cancelled = false;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An information box with one OK button; returns when it is dismissed.
    virtual void MsgBox(const QString& text, const QString& title) = 0;
    // A one-line input box; returns the answer, or cancelled when the box was cancelled or closed.
    virtual InputAnswer InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) = 0;
};

class QtDialogs : public Dialogs {
public:
    void MsgBox(const QString& text, const QString& title) override;
    InputAnswer InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
};

} // namespace lw
