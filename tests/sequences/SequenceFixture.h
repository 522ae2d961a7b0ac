// Shared set-up for the sequence windows' tests: the windows made with a recorded music device,
// program end and wave player.
#pragma once

#include "ClearWindow.h"
#include "LogoDemo.h"
#include "StaffRollWindow.h"
#include "TitleWindow.h"
#include "fakes/FakeServices.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStringList>

#include <string>
#include <vector>

namespace lw::testing {

// The sequence windows, one slot each, made with fakes; records every call to end the program,
// with the number of MIDI commands sent by then.
struct SequenceFixture {
    fakes::FakeServices fake;
    fakes::RecordingMidiService& midi = fake.midi;
    Music& module = fake.music;
    fakes::RecordingWavePlayer& wave = fake.wave;
    const Services& services = fake.services;
    struct End {
        int status;
        std::size_t commandsBefore;
    };
    std::vector<End> ends;

    WindowSlot<LogoDemo> demo{[this] { return new LogoDemo(services); }};
    WindowSlot<TitleWindow> title{[this] { return new TitleWindow(services); }};
    WindowSlot<StaffRollWindow> roll{[this] { return new StaffRollWindow(services); }};
    WindowSlot<ClearWindow> clear{[this] { return new ClearWindow(services); }};

    SequenceFixture()
    {
        fake.programEnd.onEnd = [this](int status) { ends.push_back({status, midi.calls.size()}); };
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
