// The whole game played in-process: the normal run, and the same run with each data file
// missing or damaged, with no MIDI device, and from awkward working directories.
#include "Playthrough.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace lw::e2e;

namespace {

QString dataDirectory() { return qEnvironmentVariable("LW_DATA_DIR"); }

QStringList dataFiles()
{
    return QDir(dataDirectory()).entryList(QDir::Files, QDir::Name);
}

// Links the game's data into `target`, leaving out `skip` and writing `damaged` in its place
// when given.
void copyData(const QString& target, const QString& skip = {}, const QByteArray* damaged = nullptr)
{
    QDir().mkpath(target);
    for (const QString& name : dataFiles()) {
        if (name == skip) {
            if (damaged) {
                QFile file(QDir(target).filePath(name));
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(*damaged);
            }
            continue;
        }
        QVERIFY(QFile::link(QDir(dataDirectory()).filePath(name), QDir(target).filePath(name)));
    }
}

// The scene pictures are the only files the game cannot do without.
bool isRequiredPicture(const QString& name) { return name.endsWith(QStringLiteral(".LWV")); }

void verifyCompleteRun(const PlaythroughResult& result)
{
    QVERIFY2(result.fatalError.isEmpty(), qPrintable(result.fatalError));
    QVERIFY(result.reachedClearScreen);
    QVERIFY(result.clearMessage.contains(QStringLiteral("https://lunaweave.example.jp/clear/")));
    QVERIFY(result.rollTicks > 0 && result.rollTicks < 2000);
}

} // namespace

class TestPlaythrough : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(dataFiles().size() > 40, "the data directory must be generated first"); }

    void theWholeGame()
    {
        const PlaythroughResult result = playThrough(dataDirectory());
        verifyCompleteRun(result);
        // Demo, title, the nine story cues, the ending; the chime closed the demo.
        const std::vector<std::string> firstPieces(result.opened.begin(), result.opened.begin() + 4);
        QCOMPARE(firstPieces, (std::vector<std::string>{"Ksnet.mid", "Showt.mid", "okera.mid", "yoseiden.mid"}));
        QCOMPARE(result.opened.back(), std::string("prum.mid"));
        for (const char* piece : {"yoseiden.mid", "Litldrm.mid", "Sizuku.mid", "Tinwaki.mid", "tinwaki.mid"})
            QVERIFY2(std::find(result.opened.begin(), result.opened.end(), piece) != result.opened.end(), piece);
        QVERIFY(result.waveStarted);
        // The roll followed the music: it ended after the piece passed 690 sixteenths at about
        // 150 beats a minute (about 69 s, 345 ticks), not on its own 2-units-a-tick clock.
        QVERIFY2(result.rollTicks > 300 && result.rollTicks < 400, qPrintable(QString::number(result.rollTicks)));
        QCOMPARE(result.endStatuses.first(), 0);
    }

    void eachFileMissingOrDamaged_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("damaged");
        for (const QString& name : dataFiles()) {
            QTest::newRow(qPrintable(name + QStringLiteral(" missing"))) << name << false;
            QTest::newRow(qPrintable(name + QStringLiteral(" damaged"))) << name << true;
        }
    }
    void eachFileMissingOrDamaged()
    {
        QFETCH(QString, file);
        QFETCH(bool, damaged);
        QTemporaryDir dir;
        const QByteArray garbage("MThd\0\0\0\6garbage that is no picture, no music and no wave", 60);
        copyData(dir.path(), file, damaged ? &garbage : nullptr);
        const PlaythroughResult result = playThrough(dir.path());
        if (isRequiredPicture(file)) {
            // The game ends with the report naming the file and what is wrong with it.
            QVERIFY(!result.reachedClearScreen);
            QVERIFY2(result.fatalError.contains(file), qPrintable(result.fatalError));
            QVERIFY2(result.fatalError.contains(damaged ? QStringLiteral("invalid picture")
                                                        : QStringLiteral("file not found")),
                     qPrintable(result.fatalError));
        } else {
            // Music and the chime are not needed to play on.
            verifyCompleteRun(result);
        }
    }

    void noMidiDevice()
    {
        PlaythroughOptions options;
        options.noMidiDevice = true;
        const PlaythroughResult result = playThrough(dataDirectory(), options);
        verifyCompleteRun(result);
        QVERIFY(result.opened.empty());
        // Without a position from the device the roll runs on its own clock to tick 346.
        QCOMPARE(result.rollTicks, 346);
    }

    void withASoundFont()
    {
        const QString font = QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");
        if (!QFile::exists(font))
            QSKIP("TimGM6mb.sf2 is not installed");
        PlaythroughOptions options;
        options.soundFont = font.toStdString();
        verifyCompleteRun(playThrough(dataDirectory(), options));
    }

    void awkwardWorkingDirectories_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("blanks and Japanese") << QStringLiteral("ゲーム データ/ﾙﾅ 01") << false;
        QTest::newRow("read-only") << QStringLiteral("readonly") << true;
    }
    void awkwardWorkingDirectories()
    {
        QFETCH(QString, folder);
        QFETCH(bool, readOnly);
        QTemporaryDir dir;
        const QString target = QDir(dir.path()).filePath(folder);
        copyData(target);
        if (readOnly)
            QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
        const PlaythroughResult result = playThrough(target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        verifyCompleteRun(result);
        // The music was found through the quoted full path.
        QVERIFY(std::find(result.opened.begin(), result.opened.end(), "Sizuku.mid") != result.opened.end());
    }
};

QTEST_MAIN(TestPlaythrough)
#include "test_playthrough.moc"
