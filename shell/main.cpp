// Program entry: the application object, the services, then the game.
#include "DisplayCheck.h"
#include "Fonts.h"
#include "Game.h"
#include "LateAudio.h"
#include "Music.h"
#include "PictureDensity.h"
#include "PictureLoader.h"
#include "PlayerAdditions.h"
#include "Runtime.h"
#include "SeriesNotice.h"
#include "SessionBus.h"
#include "TerminationSignals.h"

#ifdef LW_HAVE_AUDIO
#include "AudioSystem.h"
#endif

#include <QApplication>
#include <QIcon>
#include <QPixmap>

int main(int argc, char* argv[])
{
    lw::QtSettingsStore settings;
    // The series notice is text: the font configuration it needs loads on another core while the
    // application object is made. The demo, shown instead when the notice is off, needs no fonts
    // before it is on screen.
    if (lw::seriesNoticeWillShow(settings))
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

    // The sound services stand in for the audio system until it is up.
    lw::LateAudio sound;
    lw::Music music(sound);
    lw::QtDialogs dialogs;
    lw::ProcessEnd programEnd;
    const lw::Services services{music, sound, sound, dialogs, settings, programEnd};

#ifdef LW_HAVE_AUDIO
    // Started once the first window is on screen, before anything it plays: the audio worker
    // opens the synthesizer's module, and while the dynamic loader is busy with its libraries no
    // other thread of the program can start a thread or load a plug-in, which the first window
    // needs to do. create() returns at once; the SoundFont loads in the background, and music
    // asked for meanwhile sounds once it is ready.
    std::unique_ptr<lw::AudioSystem> audio;
    lw::runtime::whenFirstWindowShown([&audio, &sound] {
        audio = lw::AudioSystem::create();
        sound.attach(audio->midi(), *audio, audio->wave());
    });
    programEnd.addShutdownHook([&audio, &sound] {
        if (audio) {
            sound.detach();
            audio->shutdown();
        }
    });
#endif

    // A logout, a process manager or Ctrl+C quits as the game's own quit does: the shutdown hooks
    // close the audio, which finalizes an LW_AUDIO_FILE recording. Status as if killed by it.
    lw::TerminationSignals termination([&programEnd](int signal) { programEnd.end(128 + signal); });

    lw::Game game(services);
    game.start();
    const int status = QApplication::exec();
    programEnd.runShutdownHooks();
    return status;
}
