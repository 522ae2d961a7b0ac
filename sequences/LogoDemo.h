// The opening logo demo: a borderless black window where the maker's logo assembles itself.
#pragma once

#include "GameWindow.h"
#include "ImageBox.h"
#include "LineStroke.h"
#include "Services.h"

#include <QLabel>
#include <QTimer>

#include <array>
#include <cstdint>

namespace lw {

class LogoDemo : public GameWindow {
    Q_OBJECT
public:
    explicit LogoDemo(const Services& services);

    void onLoad() override;
    // Centres the window, restarts the logo music and the tick count from the beginning. The
    // widgets, the pictures' positions and the timer interval stay as they are.
    void onActivate() override;
    // Loads the mascots at their boxes' density: on loading, and after a move to a screen of
    // another pixel ratio.
    void loadMascots();

    QTimer stepTimer;
    std::array<LineStroke*, 3> firstLetter{};
    std::array<LineStroke*, 3> secondLetter{};
    QLabel* firstWordRest = nullptr;
    QLabel* secondWordRest = nullptr;
    QLabel* makerWord = nullptr;
    std::array<ImageBox*, 3> mascots{}; // 0 walking, 1 standing, 2 flying

    int ticks = 0;
    int figureX = 0;          // twips
    std::int16_t figureY = 0; // twips

public slots:
    void step();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Services services_;
    void activateAfterShow();
    // Activation bookkeeping: a platform without a window manager never activates the window, so
    // the first show runs onActivate itself; the activation that may still follow for that
    // same show is then swallowed, so one show never restarts the demo twice.
    bool activatedSinceShow_ = false;
    bool swallowNextActivation_ = false;
};

} // namespace lw
