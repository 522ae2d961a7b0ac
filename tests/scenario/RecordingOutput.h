// A ScenarioOutput that records every call, with the story state at the moment of the call. Lines
// are recorded as the player sees them, ruby marks removed.
#pragma once

#include "GameState.h"
#include "Ruby.h"
#include "ScenarioOutput.h"

#include <string>
#include <vector>

namespace lw::test {

struct OutputEvent {
    enum Kind { Line, Music, Timer, HideIcons, Yield } kind;
    std::string speaker;  // Line
    std::string text;     // Line: the text; Music: the file name
    int intervalMs = 0;   // Timer
    int screenAtCall = 0; // ScreenId when the call was made
};

class RecordingOutput : public ScenarioOutput {
public:
    explicit RecordingOutput(const GameState& state) : state_(state) {}

    void ShowLine(std::string_view speaker, std::string_view text) override {
        events.push_back({OutputEvent::Line, story::displayText(speaker), story::displayText(text), 0, state_.ScreenId});
    }
    void playMidiFile(std::string_view file) override {
        events.push_back({OutputEvent::Music, {}, std::string(file), 0, state_.ScreenId});
    }
    void startMusicTimer(int intervalMs) override {
        events.push_back({OutputEvent::Timer, {}, {}, intervalMs, state_.ScreenId});
    }
    void hideNonNextIcons() override {
        events.push_back({OutputEvent::HideIcons, {}, {}, 0, state_.ScreenId});
    }
    void yieldToWindowSystem() override {
        events.push_back({OutputEvent::Yield, {}, {}, 0, state_.ScreenId});
    }

    std::vector<OutputEvent> take() {
        std::vector<OutputEvent> out;
        out.swap(events);
        return out;
    }

    std::vector<OutputEvent> events;

private:
    const GameState& state_;
};

} // namespace lw::test
