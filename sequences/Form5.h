// The clear screen: thanks the player, names the hidden page, and ends the program.
#pragma once

#include "GameWindow.h"

#include <QLabel>
#include <QPushButton>

namespace lw {

class Form5 : public GameWindow {
    Q_OBJECT
public:
    Form5();

    // Centres the window and writes the message, once.
    void Form_Load() override;
    // However the window is closed: the music is closed, then the program ends.
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;

    QLabel* Label1 = nullptr;
    QPushButton* Command1 = nullptr;

public slots:
    // Ends the program; the ending music is left to the end of the process.
    void Command1_Click();
};

} // namespace lw
