// The message window: one line of the story at a time, and the developer screen jump.
#pragma once

#include "GameWindow.h"
#include "Services.h"

#include <QLabel>

#include <optional>
#include <string_view>

namespace lw {

// The state a screen-jump answer asks for, or nothing when the answer is not a usable state:
// not a decimal number, outside 16 bits after rounding (halves to even), or a state of 990 or
// less whose scene has no picture. Full-width digits are read like ASCII ones.
std::optional<std::int16_t> parseScreenJumpAnswer(std::string_view answer);

// Whether a key with this key code (letters and digits as their ASCII codes) and shift state
// (1 Shift, 2 Ctrl, 4 Alt) asks for the screen jump: the two numbers written one after the
// other must read 742, which only Ctrl+J gives.
bool isScreenJumpChord(int keyCode, int shift);

// The whole caption a line is shown with: the text alone as narration, or with a speaker,
// "【speaker】", a line break, then the text in 「」.
QString formatLine(const QString& speaker, const QString& text);

class MessageWindow : public GameWindow {
    Q_OBJECT
public:
    explicit MessageWindow(const Services& services);

    QLabel* lineLabel;

    // The line as the game set it, CR LF included (the label shows it without the CR).
    const QString& line() const { return line_; }
    void setLine(const QString& text);

    void screenJumpKey(int& KeyCode, int Shift);

signals:
    // The screen jump asks for the story to go to `state`.
    void screenJumpRequested(std::int16_t state);

protected:
    void onUnload(UnloadReason reason) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Services services_;
    QString line_;
};

} // namespace lw
