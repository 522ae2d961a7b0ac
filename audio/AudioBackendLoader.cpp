// Finding and opening the audio back end module.
#include "AudioBackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include <mutex>

namespace lw::audio {
namespace {

std::mutex& pathLock()
{
    static std::mutex lock;
    return lock;
}

QString& modulePath()
{
    static QString path;
    return path;
}

QString chosenPath()
{
    const QString fromEnv = qEnvironmentVariable("LW_AUDIO_BACKEND");
    if (!fromEnv.isEmpty())
        return fromEnv;
    std::lock_guard guard(pathLock());
    if (modulePath().isEmpty() && QCoreApplication::instance())
        modulePath() = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(LW_AUDIO_BACKEND_NAME));
    return modulePath();
}

const AudioBackend* open()
{
    const QString path = chosenPath();
    if (path.isEmpty())
        return nullptr;
    // Never unloaded: the synthesizer's threads may run until the process ends.
    auto* library = new QLibrary(path);
    const auto entry = reinterpret_cast<const AudioBackend* (*)()>(library->resolve("lw_audio_backend"));
    const AudioBackend* backend = entry ? entry() : nullptr;
    if (!backend || backend->version != AudioBackend::kVersion)
        return nullptr;
    // FluidSynth writes its messages to the terminal unless told otherwise. No level gets a
    // function: FluidSynth formats a message only for a level that has one, and it sends a debug
    // message on every program change, from the audio thread.
    for (int level = 0; level < LAST_LOG_LEVEL; ++level)
        backend->fluid.fluid_set_log_function(level, nullptr, nullptr);
    return backend;
}

} // namespace

void locateAudioBackend() { chosenPath(); }

const AudioBackend* audioBackend()
{
    static const AudioBackend* const backend = open();
    return backend;
}

} // namespace lw::audio
