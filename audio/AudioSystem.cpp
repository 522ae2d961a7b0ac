// The owner of the game's sound.
#include "AudioSystem.h"

#include "AudioEngine.h"
#include "MciSequencer.h"
#include "WaveFilePlayer.h"

namespace lw {

AudioSystem::AudioSystem() = default;

AudioSystem::~AudioSystem() { shutdown(); }

std::unique_ptr<AudioSystem> AudioSystem::create()
{
    std::unique_ptr<AudioSystem> system(new AudioSystem());
    system->engine_ = audio::AudioEngine::create();
    system->midi_ = std::make_unique<audio::MciSequencer>(*system->engine_);
    system->wave_ = std::make_unique<audio::WaveFilePlayer>(*system->engine_);
    return system;
}

lw::MidiService& AudioSystem::midi() { return *midi_; }

lw::WavePlayer& AudioSystem::wave() { return *wave_; }

void AudioSystem::setMusicGain(float gain) { engine_->setMusicGain(gain); }

void AudioSystem::setMuted(bool muted) { engine_->setMuted(muted); }

void AudioSystem::shutdown()
{
    if (engine_)
        engine_->shutdown();
}

} // namespace lw
