// Fuzz target: MIDI file bytes opened, played and queried through the sequencer's command strings.
#include "FuzzSupport.h"

#include "FuzzAudio.h"
#include "MciSequencer.h"
#include "SmfCheck.h"

#include <QFile>

#include <string>

namespace {

using lw::audio::AudioEngine;
using lw::audio::MciSequencer;

// Audio rendered between two position queries, in frames: a quarter of a second.
constexpr int kFramesPerStep = AudioEngine::kSampleRate / 4;
constexpr int kSteps = 4;

const std::string& piecePath()
{
    static const std::string path =
        QFile::encodeName(lw::fuzz::scratchDir().filePath(QStringLiteral("piece.mid"))).toStdString();
    return path;
}

std::string status(MciSequencer& sequencer, const char* item)
{
    std::string answer;
    const int result = sequencer.sendString(std::string("status M ") + item, &answer, 128, 0);
    LW_FUZZ_CHECK(result == lw::audio::kMciOk);
    return answer;
}

long long position(MciSequencer& sequencer)
{
    const std::string answer = status(sequencer, "position");
    LW_FUZZ_CHECK(!answer.empty() && answer.size() < 20);
    for (char c : answer)
        LW_FUZZ_CHECK(c >= '0' && c <= '9');
    return std::stoll(answer);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    lw::fuzz::application();
    lw::fuzz::engine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        QFile file(QString::fromStdString(piecePath()));
        LW_FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        LW_FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
                      static_cast<qint64>(size));
    }
    lw::audio::SmfInfo info;
    const bool valid = lw::audio::checkSmf(data, size, &info) == lw::audio::SmfResult::Ok;

    MciSequencer sequencer(lw::fuzz::engine());
    const int opened = sequencer.sendString("open \"" + piecePath() + "\" type sequencer alias M", nullptr, 0, 0);
    // The sequencer takes exactly the files the checker passes.
    LW_FUZZ_CHECK(opened == (valid ? lw::audio::kMciOk : lw::audio::kMciNotMidiFile));
    if (!valid)
        return 0;

    // The position never runs backwards while the piece plays, nor past the piece's end.
    const long long end = info.endTick * 4 / info.division;
    LW_FUZZ_CHECK(position(sequencer) == 0);
    LW_FUZZ_CHECK(sequencer.sendString("play M", nullptr, 0, 0) == lw::audio::kMciOk);
    long long last = 0;
    for (int step = 0; step < kSteps; ++step) {
        lw::fuzz::engine().render(kFramesPerStep);
        const long long now = position(sequencer);
        LW_FUZZ_CHECK(now >= last && now <= end);
        last = now;
        const std::string mode = status(sequencer, "mode");
        LW_FUZZ_CHECK(mode == "playing" || mode == "stopped" || mode == "not ready");
    }
    // A paused piece holds its place.
    LW_FUZZ_CHECK(sequencer.sendString("pause M", nullptr, 0, 0) == lw::audio::kMciOk);
    const long long held = position(sequencer);
    LW_FUZZ_CHECK(held >= last);
    lw::fuzz::engine().render(kFramesPerStep);
    LW_FUZZ_CHECK(position(sequencer) == held);
    LW_FUZZ_CHECK(sequencer.sendString("play M", nullptr, 0, 0) == lw::audio::kMciOk);
    lw::fuzz::engine().render(kFramesPerStep);
    LW_FUZZ_CHECK(sequencer.sendString("close M", nullptr, 0, 0) == lw::audio::kMciOk);
    LW_FUZZ_CHECK(sequencer.sendString("status M mode", nullptr, 0, 0) == lw::audio::kMciUnknownAlias);
    return 0;
}
