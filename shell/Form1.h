// The main game window: the scene picture, the command icon bar and the music timer.
#pragma once

#include "GameWindow.h"
#include "ImageBox.h"

#include <QLabel>
#include <QTimer>

#include <array>

namespace lw {

// Names shown in Label1 for the five command slots, left to right.
QString commandName(int slot);

// Which third of a picture `widthTwips` wide the point x falls into: 1 left, 2 middle, 3 right.
int clickColumnFor(double x, double widthTwips);

class Form1 : public GameWindow {
    Q_OBJECT
public:
    Form1();

    QWidget* Picture1;
    std::array<ImageBox*, 10> Image2{}; // items 0-4 selected looks, 5-9 not-selected looks
    QLabel* Label1;
    ImageBox* Image1;
    QTimer Timer1;

    void Image2_Click(int Index);
    void Image2_MouseMove(int Index, int Button, int Shift, double X, double Y);
    void Image1_MouseDown(int Button, int Shift, double X, double Y);
    // Shows every slot's not-selected look.
    void resetIconBar();
    // Hides, then disables, the Look, Talk, Think and Use-magic icons in both looks.
    void hideNonNextIcons();

public slots:
    void Timer1_Timer();

protected:
    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void changeEvent(QEvent* event) override;

private:
    void Form_Resize();
};

} // namespace lw
