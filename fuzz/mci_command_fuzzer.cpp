// Fuzz target: command strings sent to the MIDI sequencer, with a few files at hand to open.
//
// Input: lines separated by '\n'. The first byte of a line steers the call (low five bits: the
// answer buffer length, -2 to 29, where -2 passes no answer string at all; high three bits: how
// much audio to render before the command, in tenths of a second); the rest of the line is the
// command string, any bytes. The current directory holds a.mid, "Two Tracks.MID", ルネッタ.mid
// (all valid), bad.mid (cut short), empty.mid and a folder folder.mid. That directory is a scratch
// folder the target changes into, so corpus folders and -artifact_prefix must be absolute paths.
#include "FuzzSupport.h"
#include "MidiSamples.h"

#include "FuzzAudio.h"
#include "MciSequencer.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace {

using lw::audio::AudioEngine;
using lw::audio::MciSequencer;

constexpr int kMaxCommands = 64;
constexpr int kFramesPerStep = AudioEngine::kSampleRate / 10;

void writeFile(const QString& name, const std::vector<std::uint8_t>& bytes)
{
    QFile file(name);
    LW_FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

// Whether a successful answer is one the usage note allows: a mode word or a position, possibly
// cut short by the buffer.
bool plausibleAnswer(const std::string& answer)
{
    if (answer.empty())
        return true;
    if (std::all_of(answer.begin(), answer.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return true;
    constexpr std::array<std::string_view, 4> kModes{"playing", "paused", "stopped", "not ready"};
    return std::any_of(kModes.begin(), kModes.end(),
                       [&](std::string_view mode) { return mode.substr(0, answer.size()) == answer; });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    lw::fuzz::application();
    const QDir music(lw::fuzz::scratchDir().path());
    music.mkpath(QStringLiteral("music/folder.mid"));
    LW_FUZZ_CHECK(QDir::setCurrent(music.filePath(QStringLiteral("music"))));
    writeFile(QStringLiteral("a.mid"), lw::fuzz::oneNotePiece());
    writeFile(QStringLiteral("Two Tracks.MID"), lw::fuzz::twoTrackPiece());
    writeFile(QStringLiteral("ルネッタ.mid"), lw::fuzz::oneNotePiece());
    std::vector<std::uint8_t> cut = lw::fuzz::twoTrackPiece();
    cut.resize(cut.size() - 5);
    writeFile(QStringLiteral("bad.mid"), cut);
    writeFile(QStringLiteral("empty.mid"), {});
    lw::fuzz::engine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MciSequencer sequencer(lw::fuzz::engine());
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    for (int n = 0; n < kMaxCommands && start < input.size(); ++n) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos)
            end = input.size();
        const std::string_view line = input.substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;

        const auto steer = static_cast<std::uint8_t>(line[0]);
        const int answerLength = (steer & 0x1f) - 2;
        lw::fuzz::engine().render((steer >> 5) * kFramesPerStep);

        std::string answer = "left over";
        const bool noAnswer = answerLength == -2;
        const int result = sequencer.sendString(line.substr(1), noAnswer ? nullptr : &answer, answerLength, 0);
        if (noAnswer)
            answer.clear();
        LW_FUZZ_CHECK(result >= lw::audio::kMciOk && result <= lw::audio::kMciNoDevice);
        LW_FUZZ_CHECK(!sequencer.errorString(result).empty());
        LW_FUZZ_CHECK(answer.size() <= static_cast<std::size_t>(std::max(answerLength - 1, 0)));
        LW_FUZZ_CHECK(result == lw::audio::kMciOk || answer.empty());
        LW_FUZZ_CHECK(plausibleAnswer(answer));
    }
    // Leave the shared engine empty for the next input.
    LW_FUZZ_CHECK(sequencer.sendString("close all", nullptr, 0, 0) == lw::audio::kMciOk);
    LW_FUZZ_CHECK(!lw::fuzz::engine().pieceClock().loaded);
    return 0;
}
