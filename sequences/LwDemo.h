// The opening logo demo: a borderless black window where the maker's logo assembles itself.
#pragma once

#include "GameWindow.h"
#include "ImageBox.h"
#include "LineStroke.h"

#include <QLabel>
#include <QTimer>

#include <array>
#include <cstdint>

namespace lw {

class LwDemo : public GameWindow {
    Q_OBJECT
public:
    LwDemo();

    void Form_Load() override;
    // Centres the window, restarts the logo music and the tick table from the beginning. The
    // widgets, the pictures' positions and the timer interval stay as they are.
    void Form_Activate() override;

    QTimer Timer1;
    std::array<LineStroke*, 3> Line1{};
    std::array<LineStroke*, 3> Line2{};
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    std::array<ImageBox*, 3> Image1{}; // 0 walking, 1 standing, 2 flying

    int DemoTick = 0;
    int DemoX = 0;          // twips
    std::int16_t DemoY = 0; // twips

public slots:
    void Timer1_Timer();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void activateAfterShow();
    // Activation bookkeeping: a platform without a window manager never activates the window, so
    // the first show runs Form_Activate itself; the activation that may still follow for that
    // same show is then swallowed, so one show never restarts the demo twice.
    bool activatedSinceShow_ = false;
    bool swallowNextActivation_ = false;
};

} // namespace lw
