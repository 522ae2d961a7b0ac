// Shared set-up for the sequence windows' tests: a recorded music device, end handler and wave player.
#pragma once

#include "Music.h"
#include "Runtime.h"
#include "WavePlayer.h"
#include "fakes/RecordingMidiService.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStringList>

#include <string>
#include <vector>

namespace lw::testing {

class RecordingWavePlayer : public WavePlayer {
public:
    std::vector<std::string> played;
    bool playAsync(const std::string& path) override
    {
        played.push_back(path);
        return true;
    }
};

// Installs the fakes for the lifetime of the object and records every call to end the program,
// with the number of MIDI commands sent by then.
struct SequenceFixture {
    fakes::RecordingMidiService midi;
    Music module{midi, [] { return std::string("/game"); }};
    RecordingWavePlayer wave;
    struct End {
        int status;
        std::size_t commandsBefore;
    };
    std::vector<End> ends;

    SequenceFixture()
    {
        installMusic(&module);
        installWavePlayer(&wave);
        runtime::setEndHandler([this](int status) { ends.push_back({status, midi.calls.size()}); });
    }
    ~SequenceFixture()
    {
        runtime::setEndHandler({});
        installWavePlayer(nullptr);
        installMusic(nullptr);
    }

    int count(const std::string& command) const
    {
        int n = 0;
        for (const auto& call : midi.calls)
            n += call.command == command ? 1 : 0;
        return n;
    }
    int countContaining(const std::string& part) const
    {
        int n = 0;
        for (const auto& call : midi.calls)
            n += call.command.find(part) != std::string::npos ? 1 : 0;
        return n;
    }
};

// Deletes what deleteLater() left behind, so an unloaded window is really gone.
inline void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace lw::testing
