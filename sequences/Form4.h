// The ending staff roll: its window, the entries it shows, and the call that starts it.
#pragma once

#include "GameWindow.h"
#include "ImageBox.h"

#include <QLabel>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>

namespace lw {

// What the roll does to the game's windows, which live in the shell; set by the shell at start-up.
struct GameWindowActions {
    std::function<void()> hideGameWindows;   // hide the main game window and the message window
    std::function<void()> disableMusicTimer; // stop the main window's music-repeat timer
};
void setGameWindowActions(GameWindowActions actions);

// Starts the ending music and the roll's timer. The roll window stays hidden until its first
// entry is due.
void StartStaffRoll();

class Form4 : public GameWindow {
    Q_OBJECT
public:
    static constexpr int kRollPictures = 21;

    Form4();

    void Form_Load() override;
    // Closed by the player, the roll is skipped: the start-up sequence goes on to the clear screen.
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;

    // Shows cache picture `picture` (0..20) with a heading and a credit text.
    void SetG(int picture, const QString& heading, const QString& credit);

    // The picture cache, filled at start-up: holders 0..20, null for any other index.
    ImageBox* Image2(int index) const;
    // The position (sixteenth notes) the last tick went by.
    int RollPosition() const { return lastPosition_; }

signals:
    // An entry has come up: its heading and credit text.
    void entryShown(const QString& heading, const QString& credit);

public:
    ImageBox* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QTimer Timer1;
    std::int16_t RollCounter = 0; // 2 per tick

public slots:
    void Timer1_Timer();

private:
    int rollPosition();
    void endRoll();

    std::array<ImageBox*, kRollPictures> image2_{};
    // The roll's position as last used, in sixteenth notes; it never goes backwards once the
    // device has reported one.
    int lastPosition_ = 0;
    int lastDevicePosition_ = 0;
    int stillTicks_ = 0;          // ticks in a row the device's position has not moved
    bool deviceReported_ = false; // the device has given a position other than 0
    bool ownClock_ = false;       // the music has stopped: the roll runs on by itself
};

} // namespace lw
