// The title window: the game's name over green, the title tune, and a click anywhere to begin.
#pragma once

#include "ClickLabel.h"
#include "GameWindow.h"
#include "Services.h"

namespace lw {

class TitleWindow : public GameWindow {
    Q_OBJECT
public:
    explicit TitleWindow(const Services& services);
    // What the window shows, in screen order and with its ruby marks, for a screen reader.
    QString markedText() const;

    // Plays the title tune, then centres the window.
    void onLoad() override;
    // Stops the music; closed any other way than by the game's own code, it ends the program.
    void onUnload(UnloadReason reason) override;

    ClickLabel* firstWord = nullptr;
    ClickLabel* secondWord = nullptr;
    ClickLabel* makersLine = nullptr;
    ClickLabel* seriesLine = nullptr;

public slots:
    // A click on the window or any of its labels: the title unloads and the game goes on.
    void startGame();

signals:
    // The player has clicked: the title is gone and the game goes on.
    void finished();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Services services_;
    ClickTracker click_;
};

} // namespace lw
