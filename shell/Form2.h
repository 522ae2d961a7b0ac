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

class Form2 : public GameWindow {
    Q_OBJECT
public:
    Form2();

    QLabel* Label1;

    // The label's whole text as the game set it (CR LF included).
    const QString& caption() const { return caption_; }
    void setCaption(const QString& text);

    void Form_KeyDown(int& KeyCode, int Shift);

protected:
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString caption_;
};

} // namespace lw
