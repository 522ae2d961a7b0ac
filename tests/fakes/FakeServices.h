// Every service a game window is handed, as fakes that record what they were asked.
#pragma once

#include "Music.h"
#include "Services.h"
#include "fakes/FakeDialogs.h"
#include "fakes/FakeSettings.h"
#include "fakes/FakeSoundControl.h"
#include "fakes/RecordingMidiService.h"
#include "fakes/RecordingProgramEnd.h"
#include "fakes/RecordingWavePlayer.h"

#include <string>

namespace lw::fakes {

struct FakeServices {
    RecordingMidiService midi;
    Music music{midi, [] { return std::string("/game"); }};
    FakeSoundControl sound;
    RecordingWavePlayer wave;
    FakeDialogs dialogs;
    FakeSettings settings;
    RecordingProgramEnd programEnd;
    const Services services{music, sound, wave, dialogs, settings, programEnd};
};

} // namespace lw::fakes
