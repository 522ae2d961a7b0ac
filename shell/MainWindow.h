// The main game window: the scene picture, the command icon bar and the music timer.
#pragma once

#include "GameState.h"
#include "GameWindow.h"
#include "ImageBox.h"

#include <QLabel>
#include <QTimer>

#include <array>

namespace lw {

// Slots on the command icon bar: Look, Talk, Think, Use magic, Next.
constexpr int kCommandSlots = 5;

// Names shown in the hover label for the five command slots, left to right.
QString commandName(int slot);
// The same with its ruby marks, for speech.
QString markedCommandName(int slot);

// Which third of a picture `widthTwips` wide the point x falls into.
ClickColumn clickColumnFor(double x, double widthTwips);

class MainWindow : public GameWindow {
    Q_OBJECT
public:
    MainWindow();

    QWidget* iconStrip;
    std::array<ImageBox*, 10> commandIcons{}; // items 0-4 selected looks, 5-9 not-selected looks
    QLabel* hoverLabel;
    ImageBox* scenePicture;
    QTimer musicRepeatTimer;

    void iconClicked(int Index);
    void iconHovered(int Index, int Button, int Shift, double X, double Y);
    void scenePictureMouseDown(int Button, int Shift, double X, double Y);
    // Loads the ten icons at their boxes' density.
    void loadCommandIcons();
    // Shows every slot's not-selected look.
    void resetIconBar();
    // Hides, then disables, the Look, Talk, Think and Use-magic icons in both looks.
    void hideNonNextIcons();

public slots:
    void repeatMusic();

protected:
    void onLoad() override;
    void onUnload(UnloadReason reason) override;
    void changeEvent(QEvent* event) override;

private:
    void followWindowState();
};

} // namespace lw
