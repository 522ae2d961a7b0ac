// One click's answer, described as the reviewed answer table (answers.txt) records it: who speaks,
// where the story lands, any effect, and the line. Shared by the table's test and its generator.
#pragma once

#include "GameState.h"
#include "RecordingOutput.h"
#include "Ruby.h"
#include "Scenario.h"
#include "StoryTypes.h"

#include <array>
#include <string>

namespace lw::test {

// The five commands in the table's words, by command code 1..5.
inline constexpr std::array<std::string_view, 6> kCommandWords{"", "Look", "Talk", "Think", "Magic", "Next"};

struct Reply {
    std::string speaker; // a name; "narration" (no speaker); "default" (the command's own default
                         // line); "hint" (the introduction or Next hint); "silent" (no line)
    int lands = 0;       // ScreenId afterwards
    std::string effect;  // "-", or "music:<file>", "icons", "yield", joined by '+'
    std::string text;    // the line, for a speaking or thinking reply

    bool operator==(const Reply&) const = default;
};

inline std::string_view defaultLine(int command)
{
    switch (command) {
    case kLook:
        return story::kLookDefault;
    case kTalk:
        return story::kTalkDefault;
    case kThink:
        return story::kThinkDefault;
    case kMagic:
        return story::kMagicDefault;
    default:
        return {};
    }
}

// What one click with `command` (1..5) gives at `screen`, the picture clicked in `column`.
inline Reply replyAt(int screen, int command, int column)
{
    GameState state;
    state.ScreenId = static_cast<std::int16_t>(screen);
    state.SelectedCommand = static_cast<std::int16_t>(command);
    state.ClickColumn = static_cast<std::int16_t>(column);
    RecordingOutput out(state);
    Scenario(state, out).RunCommand(command);

    Reply reply{"silent", state.ScreenId, "", ""};
    int lines = 0;
    for (const OutputEvent& event : out.events) {
        std::string effect;
        switch (event.kind) {
        case OutputEvent::Line:
            ++lines;
            reply.text = event.text;
            if (event.text == story::displayText(defaultLine(command)))
                reply.speaker = "default";
            else if (event.text == story::displayText(story::kIntroductionHint) ||
                     event.text == story::displayText(story::kNextHint))
                reply.speaker = "hint";
            else
                reply.speaker = event.speaker.empty() ? "narration" : event.speaker;
            break;
        case OutputEvent::Music:
            effect = "music:" + event.text;
            break;
        case OutputEvent::HideIcons:
            effect = "icons";
            break;
        case OutputEvent::Yield:
            effect = "yield";
            break;
        case OutputEvent::Timer:
            effect = "timer";
            break;
        }
        if (!effect.empty())
            reply.effect += (reply.effect.empty() ? "" : "+") + effect;
    }
    if (lines > 1)
        reply.speaker = "several-lines";
    if (reply.effect.empty())
        reply.effect = "-";
    if (reply.speaker == "default" || reply.speaker == "hint" || reply.speaker == "silent")
        reply.text.clear();
    return reply;
}

// An answer any state that the table does not list must give: the fixed line, the state kept.
inline bool isPlainRefusal(const Reply& reply, int screen)
{
    return (reply.speaker == "default" || reply.speaker == "hint") && reply.lands == screen && reply.effect == "-";
}

} // namespace lw::test
