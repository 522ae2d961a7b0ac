// The game recording its sound to a file (LW_AUDIO_FILE) and ended by SIGTERM or SIGINT, as a
// logout, a process manager or Ctrl+C would: the file it leaves is a whole WAV file.
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

#include <csignal>

class TestRecordingOnSignal : public QObject {
    Q_OBJECT

private slots:
    void recordingIsFinalized_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void recordingIsFinalized()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("recording.wav"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("LW_AUDIO_FILE"), file);
        env.remove(QStringLiteral("LW_NO_AUDIO"));
        QProcess game;
        game.setProcessEnvironment(env);
        game.setWorkingDirectory(dir.path()); // no data: the game waits on its first window
        game.start(QStringLiteral(LW_GAME_PROGRAM), {});
        QVERIFY(game.waitForStarted(10000));

        constexpr qint64 kHalfSecond = 44 + 4 * 22050;
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(file).size() > kHalfSecond, 30000);
        QCOMPARE(::kill(static_cast<pid_t>(game.processId()), signal), 0);
        QVERIFY(game.waitForFinished(20000));
        QCOMPARE(game.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.exitCode(), 128 + signal);

        SF_INFO info{};
        SNDFILE* sound = sf_open(file.toLocal8Bit().constData(), SFM_READ, &info);
        QVERIFY2(sound, sf_strerror(nullptr));
        sf_close(sound);
        QCOMPARE(info.samplerate, 44100);
        QCOMPARE(info.channels, 2);
        QVERIFY(info.frames * 4 > kHalfSecond - 44);
        QCOMPARE(44 + info.frames * 4, QFileInfo(file).size()); // the header counts every byte written
    }
};

QTEST_GUILESS_MAIN(TestRecordingOnSignal)
#include "tst_recording_on_signal.moc"
