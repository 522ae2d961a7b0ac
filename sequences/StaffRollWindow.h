// The ending staff roll: its window and the entries it shows.
#pragma once

#include "GameWindow.h"
#include "ImageBox.h"
#include "SceneTable.h"
#include "Services.h"

#include <QLabel>
#include <QTimer>

#include <array>
#include <cstdint>

namespace lw {

class StaffRollWindow : public GameWindow {
    Q_OBJECT
public:
    explicit StaffRollWindow(const Services& services);
    // What the window shows, in screen order and with its ruby marks, for a screen reader.
    QString markedText() const;

    void onLoad() override;
    // Closed by the player, the roll is skipped: the game goes on to the clear screen.
    void onUnload(UnloadReason reason) override;

    // Starts the ending music and the roll's timer. The window (loaded at start-up) stays hidden
    // until its first entry is due.
    void start();

    // Shows cache picture `picture` (0..20) with a heading and a credit text.
    void showEntry(int picture, const QString& heading, const QString& credit);
    // Shows the entry's picture again at the picture box's density, after a zoom or a move to a
    // screen of another pixel ratio.
    void reloadPicture();
    // As every game window, and the entry's picture from the art for the new density. The roll's
    // timing is its music's, whatever the zoom.
    void setZoom(double factor) override;

    // The picture cache, filled at start-up: holders 0..20, null for any other index.
    ImageBox* cachedPicture(int index) const;
    // The position (sixteenth notes) the last tick went by.
    int lastPosition() const { return lastPosition_; }

    ImageBox* entryPicture = nullptr;
    QLabel* headingLabel = nullptr;
    QLabel* creditLabel = nullptr;
    QTimer stepTimer;
    std::int16_t rollCounter = 0; // 2 per tick

    // Whether the roll has passed the end of its music, or was closed.
    bool ended() const { return ended_; }
    // Ends the roll: its timer stops and finished() is emitted, once.
    void finishRoll();

signals:
    // The roll comes on screen in place of the game: the main and message windows should go,
    // and at the roll's first entry (not when it comes back later) the music repeat stops.
    void hideGameWindows();
    void stopMusicRepeat();
    void finished();
    // An entry has come up: its heading and credit text, with their ruby marks.
    void entryShown(const QString& heading, const QString& credit);

public slots:
    void step();

private:
    Services services_;
    int rollPosition();

    std::array<ImageBox*, kRollPictures> cache_{};
    int shownPicture_ = -1; // the cache holder the entry's picture came from
    // The roll's position as last used, in sixteenth notes; it never goes backwards once the
    // device has reported one.
    int lastPosition_ = 0;
    int lastDevicePosition_ = 0;
    int stillTicks_ = 0;          // ticks in a row the device's position has not moved
    bool deviceReported_ = false; // the device has given a position other than 0
    bool ownClock_ = false;       // the music has stopped: the roll runs on by itself
    bool ended_ = false;
};

} // namespace lw
