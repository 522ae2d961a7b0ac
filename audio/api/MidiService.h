// The MIDI command-string service: what the music module sees of the sequencer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lw {

class MidiService {
public:
    virtual ~MidiService() = default;

    // Sends one command string. `answer` (may be null) receives the device's answer, cut to
    // answerLength - 1 characters, as a C buffer of that length would hold it. `callbackWindow`
    // is the window to notify, 0 for none. Returns 0 on success, otherwise an error code.
    virtual int sendString(std::string_view command, std::string* answer, int answerLength,
                           std::uintptr_t callbackWindow) = 0;

    // A readable text for an error code returned by sendString.
    virtual std::string errorString(int errorCode) const = 0;
};

} // namespace lw
