// The title window: the game's name over green, the title tune, and a click anywhere to begin.
#pragma once

#include "ClickLabel.h"
#include "GameWindow.h"

namespace lw {

class Form3 : public GameWindow {
    Q_OBJECT
public:
    Form3();

    // Plays the title tune, then centres the window.
    void Form_Load() override;
    // Stops the music; closed any other way than by the game's own code, it ends the program.
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;

    ClickLabel* Label1 = nullptr;
    ClickLabel* Label2 = nullptr;
    ClickLabel* Label3 = nullptr;
    ClickLabel* Label4 = nullptr;

public slots:
    // Each unloads the title window, and the start-up sequence goes on into the game.
    void Form_Click();
    void Label1_Click();
    void Label2_Click();
    void Label3_Click();
    void Label4_Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ClickTracker click_;
};

} // namespace lw
