// Program entry: the application object, the sound services, then the game's start-up procedure.
#include "DisplayCheck.h"
#include "Fonts.h"
#include "Game.h"
#include "Music.h"
#include "PictureDensity.h"
#include "PictureLoader.h"
#include "PlayerAdditions.h"
#include "Runtime.h"
#include "SessionBus.h"
#include "ShellServices.h"
#include "TerminationSignals.h"
#include "WavePlayer.h"

#ifdef LW_HAVE_AUDIO
#include "AudioSystem.h"
#endif

#include <QApplication>
#include <QIcon>
#include <QPixmap>

int main(int argc, char* argv[])
{
    // The series notice is text: the font configuration it needs loads on another core while the
    // application object is made. The demo, shown instead when the notice is off, needs no fonts
    // before it is on screen.
    if (lw::seriesNoticeWillShow())
        lw::startFontConfigLoad();
    // Without a display QApplication would abort the process; one line and status 1 instead.
    if (!lw::windowSystemAvailable(argc, argv))
        return 1;
    // Qt's screen-reader support looks for the session bus while the first window is built.
    lw::skipSessionBusSearchThatCanOnlyFail();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lunaweave"));
    QApplication::setOrganizationName(QStringLiteral("Kestrune"));
    // Lets desktops match the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(LW_APP_ID));
    // The start-up procedure decides when the program ends, not the last window closing.
    QApplication::setQuitOnLastWindowClosed(false);

    // Decoded here rather than through QIcon's file loading, which asks every icon plug-in first.
    // Both densities go in: the window system picks the size it shows.
    const QImage icon = lw::builtInPicture(QStringLiteral("lunaweave.png"));
    if (!icon.isNull()) {
        QIcon windowIcon(QPixmap::fromImage(icon));
        const QImage sharp = lw::builtInPicture(QStringLiteral("lunaweave.png"), lw::kSharpDensity);
        if (sharp.devicePixelRatio() > 1)
            windowIcon.addPixmap(QPixmap::fromImage(sharp));
        QApplication::setWindowIcon(windowIcon);
    }

#ifdef LW_HAVE_AUDIO
    // Started once the first window is on screen, before anything it plays: the audio worker
    // opens the synthesizer's module, and while the dynamic loader is busy with its libraries no
    // other thread of the program can start a thread or load a plug-in, which the first window
    // needs to do. create() returns at once; the SoundFont loads in the background, and music
    // asked for meanwhile sounds once it is ready.
    std::unique_ptr<lw::AudioSystem> audio;
    std::unique_ptr<lw::Music> midi;
    lw::runtime::whenFirstWindowShown([&audio, &midi] {
        audio = lw::AudioSystem::create();
        midi = std::make_unique<lw::Music>(audio->midi());
        lw::installMusic(midi.get());
        lw::installWavePlayer(&audio->wave());
        lw::installSoundControl(audio.get());
    });
    lw::runtime::addShutdownHook([&audio] {
        if (audio)
            audio->shutdown();
    });
#endif

    // A logout, a process manager or Ctrl+C quits as the game's own quit does: the shutdown hooks
    // close the audio, which finalizes an LW_AUDIO_FILE recording. Status as if killed by it.
    lw::TerminationSignals termination([](int signal) { lw::runtime::endProgram(128 + signal); });

    // History, keyboard play, sound keys and screen-reader support, for every window of the run.
    lw::installPlayerAdditions();
    lw::Game game;
    game.start();
    const int status = QApplication::exec();
    lw::runtime::runShutdownHooks();
    return status;
}
