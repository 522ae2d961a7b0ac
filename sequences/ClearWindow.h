// The clear screen: thanks the player, names the hidden page, and ends the program.
#pragma once

#include "GameWindow.h"
#include "Services.h"

#include <QLabel>
#include <QPushButton>

namespace lw {

class ClearWindow : public GameWindow {
    Q_OBJECT
public:
    explicit ClearWindow(const Services& services);
    // What the window shows, in screen order and with its ruby marks, for a screen reader.
    QString markedText() const;

    // Centres the window and writes the message, once.
    void onLoad() override;
    // However the window is closed: the music is closed, then the program ends.
    void onUnload(UnloadReason reason) override;

    QLabel* messageLabel = nullptr;
    QPushButton* okButton = nullptr;

public slots:
    // Ends the program; the ending music is left to the end of the process.
    void okClicked();

private:
    Services services_;
};

} // namespace lw
