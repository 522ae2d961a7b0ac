// The services every game window is handed when it is made: the music module, the sound
// settings, the wave player, the dialogs, the settings store and the program's end.
#pragma once

#include "Dialogs.h"
#include "Music.h"
#include "Runtime.h"
#include "Settings.h"
#include "SoundControl.h"
#include "WavePlayer.h"

namespace lw {

struct Services {
    Music& music;
    SoundControl& soundControl;
    WavePlayer& wavePlayer;
    Dialogs& dialogs;
    SettingsStore& settings;
    ProgramEnd& programEnd;
};

} // namespace lw
