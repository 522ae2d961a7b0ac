// The story's behaviour: Next, scene entries and the four command responders over the tables.
#pragma once

#include "GameState.h"
#include "ScenarioOutput.h"
#include "StoryTypes.h"

#include <span>
#include <string_view>

namespace lw {

class Scenario {
public:
    Scenario(GameState& state, ScenarioOutput& output);

    // Next: one row of the linear story per click, or the hint where Next does not move on.
    void DoNext();
    // The opening of the scene ScreenId has just entered: music cue, then first line.
    void RunSceneEntry();
    void DoLook();
    void DoTalk();
    void DoThink();
    void DoMagic();

    // Runs the responder of `command`; false, with nothing done, for Command::None (nothing
    // picked yet).
    bool RunCommand(Command command);

private:
    void respond(std::span<const story::Answer> table, std::string_view defaultText, bool byColumn);
    void show(const story::Line& line);

    GameState& state_;
    ScenarioOutput& output_;
};

} // namespace lw
