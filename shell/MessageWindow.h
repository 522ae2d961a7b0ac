// The message window: one line of the story at a time, and the developer screen jump.
#pragma once

#include "GameWindow.h"

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

class MessageWindow : public GameWindow {
    Q_OBJECT
public:
    MessageWindow();

    QLabel* lineLabel;

    // The line as the game set it, CR LF included (the label shows it without the CR).
    const QString& line() const { return line_; }
    void setLine(const QString& text);

    void screenJumpKey(int& KeyCode, int Shift);

signals:
    // The screen jump has set ScreenId to `state`.
    void screenJumped(int state);

protected:
    void onUnload(UnloadReason reason) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString line_;
};

} // namespace lw
