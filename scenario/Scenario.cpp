// Next, scene entries and the four command responders: short lookups over the story tables.
#include "Scenario.h"

#include "EntryTable.h"
#include "NextTable.h"
#include "ResponseTables.h"

#include <algorithm>
#include <cstdint>

namespace lw {

using namespace story;

namespace {

bool columnMatches(Column column, ClickColumn clickColumn)
{
    switch (column) {
    case Column::Any:
        return true;
    case Column::LeftOrMiddle:
        return clickColumn == ClickColumn::Left || clickColumn == ClickColumn::Middle;
    case Column::Right:
        return clickColumn == ClickColumn::Right;
    }
    return false;
}

} // namespace

Scenario::Scenario(GameState& state, ScenarioOutput& output) : state_(state), output_(output) {}

void Scenario::show(const Line& line)
{
    if (line.shown())
        output_.ShowLine(line.speaker, line.text);
}

void Scenario::DoNext()
{
    const int screen = state_.ScreenId;
    const auto* row = std::ranges::find(kNextTable, screen, &NextRow::screen);
    if (row == std::end(kNextTable)) {
        output_.ShowLine(kNarration, kNextHint);
        return;
    }
    show(row->line);
    state_.ScreenId = static_cast<std::int16_t>(row->next);
    output_.stateChanged();
    // The ending starts once the clicks already queued have run (and been ignored).
    if (row->screen == kLastStepScreen)
        output_.yieldToWindowSystem();
}

void Scenario::RunSceneEntry()
{
    const int screen = state_.ScreenId;
    const auto* row = std::ranges::find(kEntryTable, screen, &EntryRow::screen);
    if (row == std::end(kEntryTable))
        return;
    // The timer goes first so that the piece about to start is already watched for its end.
    if (row->screen == kMusicTimerScreen)
        output_.startMusicTimer(kMusicTimerIntervalMs);
    if (!row->music.empty())
        output_.playMidiFile(row->music);
    show(row->line);
}

void Scenario::respond(std::span<const Answer> table, std::string_view defaultText, bool byColumn)
{
    const int screen = state_.ScreenId;
    if (screen < kFirstGateScreen) {
        output_.ShowLine(kNarration, kIntroductionHint);
        return;
    }
    const auto row = std::ranges::find_if(table, [&](const Answer& a) {
        return a.first <= screen && screen <= a.last && (!byColumn || columnMatches(a.column, state_.clickColumn));
    });
    if (row == table.end()) {
        output_.ShowLine(kNarration, defaultText);
        return;
    }
    if (!row->music.empty())
        output_.playMidiFile(row->music);
    show(row->line);
    if (row->hidesIcons)
        output_.hideNonNextIcons();
    if (row->next) {
        state_.ScreenId = static_cast<std::int16_t>(*row->next);
        output_.stateChanged();
    }
}

void Scenario::DoLook() { respond(kLookTable, kLookDefault, true); }
void Scenario::DoTalk() { respond(kTalkTable, kTalkDefault, false); }
void Scenario::DoThink() { respond(kThinkTable, kThinkDefault, false); }
void Scenario::DoMagic() { respond(kMagicTable, kMagicDefault, false); }

bool Scenario::RunCommand(Command command)
{
    switch (command) {
    case Command::Look:
        DoLook();
        return true;
    case Command::Talk:
        DoTalk();
        return true;
    case Command::Think:
        DoThink();
        return true;
    case Command::Magic:
        DoMagic();
        return true;
    case Command::Next:
        DoNext();
        return true;
    case Command::None:
        break;
    }
    return false;
}

} // namespace lw
