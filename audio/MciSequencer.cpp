// The sequencer's command parser and piece state over the audio engine.
#include "MciSequencer.h"

#include "DataFiles.h"
#include "SmfCheck.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace lw::audio {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameWord(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

// Splits a command into words; a word in double quotes keeps its blanks. Nothing when a quote
// is left open, or a quote sits inside a word.
std::optional<std::vector<std::string>> splitWords(std::string_view command)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < command.size()) {
        if (isBlank(command[i])) {
            ++i;
            continue;
        }
        if (command[i] == '"') {
            const std::size_t close = command.find('"', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            if (close + 1 < command.size() && !isBlank(command[close + 1]))
                return std::nullopt;
            words.emplace_back(command.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        const std::size_t start = i;
        while (i < command.size() && !isBlank(command[i])) {
            if (command[i] == '"')
                return std::nullopt;
            ++i;
        }
        words.emplace_back(command.substr(start, i - start));
    }
    return words;
}

} // namespace

MciSequencer::MciSequencer(AudioEngine& engine) : engine_(engine) {}

MciSequencer::~MciSequencer() { closePiece(); }

int MciSequencer::sendString(std::string_view command, std::string* answer, int answerLength,
                             std::uintptr_t /*callbackWindow: no notifications are ever sent*/)
{
    std::string reply;
    const int result = [&]() -> int {
        const auto parsed = splitWords(command);
        if (!parsed)
            return kMciBadSyntax;
        const std::vector<std::string>& words = *parsed;
        if (words.empty())
            return kMciUnknownCommand;
        const std::string& verb = words[0];

        if (sameWord(verb, "open")) {
            if (words.size() < 2)
                return kMciBadSyntax;
            std::optional<std::string> alias;
            bool typed = false;
            for (std::size_t i = 2; i < words.size(); i += 2) {
                if (i + 1 >= words.size())
                    return kMciBadSyntax;
                if (sameWord(words[i], "type") && !typed) {
                    typed = true;
                    if (!sameWord(words[i + 1], "sequencer"))
                        return kMciNoDevice;
                } else if (sameWord(words[i], "alias") && !alias) {
                    alias = words[i + 1];
                } else {
                    return kMciBadSyntax;
                }
            }
            if (!alias || alias->empty() || sameWord(*alias, "all"))
                return kMciBadSyntax;
            return open(words[1], *alias);
        }

        const bool known = sameWord(verb, "play") || sameWord(verb, "pause") || sameWord(verb, "resume") ||
                           sameWord(verb, "stop") || sameWord(verb, "close") || sameWord(verb, "status");
        if (!known)
            return kMciUnknownCommand;
        const std::size_t expected = sameWord(verb, "status") ? 3 : 2;
        if (words.size() != expected)
            return kMciBadSyntax;
        const std::string& alias = words[1];

        if (sameWord(verb, "close")) {
            if (sameWord(alias, "all")) {
                closePiece();
                return kMciOk;
            }
            if (!isOpenAlias(alias))
                return kMciUnknownAlias;
            closePiece();
            return kMciOk;
        }
        if (!isOpenAlias(alias))
            return kMciUnknownAlias;

        if (sameWord(verb, "status")) {
            if (sameWord(words[2], "mode")) {
                if (!ready_)
                    reply = "not ready";
                else if (mode_ == Mode::Paused)
                    reply = "paused";
                else if (mode_ == Mode::Playing && !ended())
                    reply = "playing";
                else
                    reply = "stopped";
                return kMciOk;
            }
            if (sameWord(words[2], "position")) {
                reply = std::to_string(positionSixteenths());
                return kMciOk;
            }
            return kMciBadSyntax;
        }
        if (!ready_)
            return kMciNoDevice;
        if (sameWord(verb, "play")) {
            if (mode_ == Mode::Playing && !ended())
                return kMciOk;
            if (!started_ || atEnd()) {
                engine_.startFromBeginning();
                started_ = true;
            } else {
                engine_.resume();
            }
            mode_ = Mode::Playing;
        } else if (sameWord(verb, "pause")) {
            if (mode_ == Mode::Playing && !ended()) {
                engine_.pause();
                mode_ = Mode::Paused;
            }
        } else if (sameWord(verb, "resume")) {
            if (mode_ == Mode::Paused) {
                engine_.resume();
                mode_ = Mode::Playing;
            }
        } else { // stop
            engine_.pause();
            mode_ = Mode::Stopped;
        }
        return kMciOk;
    }();

    if (answer) {
        answer->clear();
        if (result == kMciOk && answerLength > 1)
            answer->assign(reply, 0, static_cast<std::size_t>(answerLength - 1));
    }
    return result;
}

int MciSequencer::open(const std::string& path, const std::string& alias)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return kMciFileNotFound;
    const QString resolved = lw::resolveDataPath(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
    const std::optional<QByteArray> bytes = lw::readRegularFile(resolved, static_cast<qint64>(kMaxSmfBytes));
    if (!bytes)
        return kMciFileNotFound;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes->constData());
    SmfInfo info;
    if (checkSmf(data, static_cast<std::size_t>(bytes->size()), &info) != SmfResult::Ok)
        return kMciNotMidiFile;

    closePiece();
    alias_ = alias;
    mode_ = Mode::Stopped;
    started_ = false;
    division_ = info.division;
    endTick_ = info.endTick;
    // Only the checked part of the file reaches the synthesizer.
    ready_ = engine_.loadPiece(std::vector<std::uint8_t>(data, data + info.length));
    return kMciOk;
}

void MciSequencer::closePiece()
{
    if (alias_.empty())
        return;
    engine_.unloadPiece();
    alias_.clear();
    ready_ = false;
    started_ = false;
    mode_ = Mode::Stopped;
    division_ = 0;
    endTick_ = 0;
}

bool MciSequencer::isOpenAlias(const std::string& alias) const { return !alias_.empty() && sameWord(alias, alias_); }

bool MciSequencer::atEnd() const
{
    if (!started_)
        return false;
    const PieceClock clock = engine_.pieceClock();
    return clock.finished || clock.tick >= endTick_;
}

bool MciSequencer::ended() const { return mode_ == Mode::Playing && atEnd(); }

std::int64_t MciSequencer::positionSixteenths() const
{
    if (!ready_ || division_ <= 0)
        return 0;
    const PieceClock clock = engine_.pieceClock();
    const std::int64_t tick = clock.tick < endTick_ ? clock.tick : endTick_;
    return tick * 4 / division_;
}

std::string MciSequencer::errorString(int errorCode) const
{
    switch (errorCode) {
    case kMciOk:
        return "The command completed.";
    case kMciFileNotFound:
        return "The file was not found.";
    case kMciNotMidiFile:
        return "The file is not a standard MIDI file the sequencer can play.";
    case kMciUnknownAlias:
        return "No piece is open under that name.";
    case kMciUnknownCommand:
        return "The command is not known.";
    case kMciBadSyntax:
        return "The command's words are not in a form the sequencer accepts.";
    case kMciNoDevice:
        return "The sequencer device is not available.";
    default:
        return "Unknown error " + std::to_string(errorCode) + ".";
    }
}

} // namespace lw::audio
