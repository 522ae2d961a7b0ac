// Sound services that wait for the audio system.
#include "LateAudio.h"

namespace lw {
namespace {
constexpr int kNoDevice = 1; // any non-zero answer: the command failed
} // namespace

void LateAudio::attach(MidiService& midi, SoundControl& control, WavePlayer& wave)
{
    midi_ = &midi;
    control_ = &control;
    wave_ = &wave;
    if (gain_)
        control_->setMusicGain(*gain_);
    if (muted_)
        control_->setMuted(*muted_);
}

void LateAudio::detach()
{
    midi_ = nullptr;
    control_ = nullptr;
    wave_ = nullptr;
}

int LateAudio::sendString(std::string_view command, std::string* answer, int answerLength,
                          std::uintptr_t callbackWindow)
{
    if (midi_)
        return midi_->sendString(command, answer, answerLength, callbackWindow);
    if (answer)
        answer->clear();
    return kNoDevice;
}

std::string LateAudio::errorString(int errorCode) const
{
    return midi_ ? midi_->errorString(errorCode) : std::string("no MIDI device");
}

void LateAudio::setMusicGain(float gain)
{
    gain_ = gain;
    if (control_)
        control_->setMusicGain(gain);
}

void LateAudio::setMuted(bool muted)
{
    muted_ = muted;
    if (control_)
        control_->setMuted(muted);
}

bool LateAudio::playAsync(const std::string& path) { return wave_ && wave_->playAsync(path); }

} // namespace lw
