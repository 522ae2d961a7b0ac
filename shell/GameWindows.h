// The game's windows: at most one of each kind at a time, each made with the game's services.
#pragma once

#include "ClearWindow.h"
#include "GameWindow.h"
#include "LogoDemo.h"
#include "MainWindow.h"
#include "MessageWindow.h"
#include "Services.h"
#include "StaffRollWindow.h"
#include "TitleWindow.h"

#include <functional>

namespace lw {

// `wireMain` and `wireMessage` connect each new main and message window to the game.
struct GameWindows {
    GameWindows(const Services& services, std::function<void(MainWindow&)> wireMain,
                std::function<void(MessageWindow&)> wireMessage)
        : demo([&services] { return new LogoDemo(services); }),
          title([&services] { return new TitleWindow(services); }), main([&services, wireMain] {
              auto* window = new MainWindow(services);
              wireMain(*window);
              return window;
          }),
          message([&services, wireMessage] {
              auto* window = new MessageWindow(services);
              wireMessage(*window);
              return window;
          }),
          roll([&services] { return new StaffRollWindow(services); }),
          clear([&services] { return new ClearWindow(services); })
    {
    }

    WindowSlot<LogoDemo> demo;
    WindowSlot<TitleWindow> title;
    WindowSlot<MainWindow> main;
    WindowSlot<MessageWindow> message;
    WindowSlot<StaffRollWindow> roll;
    WindowSlot<ClearWindow> clear;
};

} // namespace lw
