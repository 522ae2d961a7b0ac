// Reading a wave file and handing it to the shared output.
#include "WaveFilePlayer.h"

#include "AudioBackend.h"
#include "DataFiles.h"

namespace lw::audio {

WaveFilePlayer::WaveFilePlayer(AudioEngine& engine) : engine_(engine) {}

bool WaveFilePlayer::playAsync(const std::string& path)
{
    if (!engine_.hasOutput() || path.empty() || path.find('\0') != std::string::npos)
        return false;
    const AudioBackend* backend = audioBackend(); // opened by the audio worker long before
    if (!backend)
        return false;
    const QString resolved = lw::resolveDataPath(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
    const std::optional<QByteArray> bytes = lw::readRegularFile(resolved, static_cast<qint64>(kMaxWaveBytes));
    if (!bytes)
        return false;
    auto frames = backend->decodeWave(reinterpret_cast<const std::uint8_t*>(bytes->constData()),
                                      static_cast<std::size_t>(bytes->size()), AudioEngine::kSampleRate, nullptr);
    if (!frames)
        return false;
    return engine_.playWave(std::move(*frames));
}

} // namespace lw::audio
