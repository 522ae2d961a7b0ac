// The main game window: the scene picture, the command icon bar and the music timer.
#pragma once

#include "GameState.h"
#include "GameWindow.h"
#include "ImageBox.h"
#include "Services.h"

#include <QLabel>
#include <QTimer>

#include <array>

namespace lw {

// Slots on the command icon bar: Look, Talk, Think, Use magic, Next.
constexpr int kCommandSlots = 5;
// The Next command's icon in its not-selected look: the one icon left after the ending's start.
constexpr int kNextIconNotSelected = 9;

// Names shown in the hover label for the five command slots, left to right.
QString commandName(int slot);
// The same with its ruby marks, for speech.
QString markedCommandName(int slot);

// Which third of a picture `widthTwips` wide the point x falls into.
ClickColumn clickColumnFor(double x, double widthTwips);

class MainWindow : public GameWindow {
    Q_OBJECT
public:
    explicit MainWindow(const Services& services);

    QWidget* iconStrip;
    std::array<ImageBox*, 10> commandIcons{}; // items 0-4 selected looks, 5-9 not-selected looks
    QLabel* hoverLabel;
    ImageBox* scenePicture;
    QTimer musicRepeatTimer;

    // A click on icon `index` (0-4 the selected looks, 5-9 the not-selected ones).
    void iconClicked(int index);
    void iconHovered(int Index, int Button, int Shift, double X, double Y);
    void scenePictureMouseDown(int Button, int Shift, double X, double Y);
    // Loads the ten icons at their boxes' density.
    void loadCommandIcons();
    // Shows every slot's not-selected look.
    void resetIconBar();
    // Shows icon `index` (5-9) in its selected look and its slot's other look hidden; with
    // `resetOthers`, every other slot first shows its not-selected look.
    void showSelected(int index, bool resetOthers);
    // Hides, then disables, the Look, Talk, Think and Use-magic icons in both looks.
    void hideNonNextIcons();

signals:
    // The player clicked command icon `icon` (0-9); the game decides what it selects.
    void commandPicked(int icon);
    // The player pressed a mouse button on the scene picture, in this third of it.
    void pictureClicked(lw::ClickColumn column);
    // The window went to the task bar, or came back from it: the message window follows.
    void minimized();
    void restored();

public slots:
    void repeatMusic();

protected:
    void onLoad() override;
    void onUnload(UnloadReason reason) override;
    void changeEvent(QEvent* event) override;

private:
    void followWindowState();
    Services services_;
};

} // namespace lw
