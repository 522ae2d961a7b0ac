// A MIDI service that records every command and answers status queries from set values.
#pragma once

#include "MidiService.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace lw::fakes {

class RecordingMidiService : public MidiService {
public:
    struct Call {
        std::string command;
        int answerLength;
        std::uintptr_t callbackWindow;
    };

    std::vector<Call> calls;
    std::string modeAnswer = "stopped"; // answer to "status <alias> mode"
    std::string positionAnswer = "0";   // answer to "status <alias> position"
    int statusResult = 0;               // error code returned for status queries

    int sendString(std::string_view command, std::string* answer, int answerLength,
                   std::uintptr_t callbackWindow) override
    {
        calls.push_back({std::string(command), answerLength, callbackWindow});
        std::string lower(command);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        std::string reply;
        int result = 0;
        if (lower.rfind("status", 0) == 0) {
            result = statusResult;
            if (result == 0)
                reply = lower.find("position") != std::string::npos ? positionAnswer : modeAnswer;
        }
        if (answer)
            *answer = answerLength > 0 ? reply.substr(0, static_cast<std::size_t>(answerLength - 1)) : "";
        return result;
    }

    std::string errorString(int errorCode) const override { return "error " + std::to_string(errorCode); }

    std::vector<std::string> commands() const
    {
        std::vector<std::string> list;
        for (const Call& call : calls)
            list.push_back(call.command);
        return list;
    }
    void clear() { calls.clear(); }
};

} // namespace lw::fakes
