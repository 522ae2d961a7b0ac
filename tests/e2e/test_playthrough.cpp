// The whole game played in-process through Game with real input events: the normal run, the
// player closing each window along the way, and the same run with each data file missing or
// damaged, with no MIDI device, and from awkward working directories.
//
// A run in which the player closes a window that ends the program runs in a child process (this
// same program, told what to do through LW_PLAYTHROUGH_CHILD): the program really ends there, so
// anything the game did after the close would show in the report instead of being cut off by a test.
#include "Playthrough.h"

#include "scenario/StoryStates.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <cstdlib>

using namespace lw::e2e;

namespace {

QString dataDirectory() { return qEnvironmentVariable("LW_DATA_DIR"); }

QStringList dataFiles() { return QDir(dataDirectory()).entryList(QDir::Files, QDir::Name); }

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
    QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
    QVERIFY(result.reachedClearScreen);
    QVERIFY(result.clearMessage.contains(QStringLiteral("https://lunaweave.example.jp/clear/")));
    QVERIFY(result.rollTicks > 0 && result.rollTicks < 2000);
    // O K ends the program with status 0 and leaves the ending music alone.
    QCOMPARE(result.endStatuses, QList<int>{0});
    QCOMPARE(result.ends[0].commandsBefore, result.commandsAtClose);
}

const QString kNotice =
    QStringLiteral("Lunaweave|このたびはダウンロードありがとうございました。\r\n"
                   "このゲームはシリーズの3作目です。できれば、前作「Solvenne」をクリアしておいてくださいね。\r\n"
                   "SolvenneもFilewharfでダウンロードできます。");

const QStringList kWholeFlow{QStringLiteral("LogoDemo"), QStringLiteral("TitleWindow"),
                             QStringLiteral("MainWindow MessageWindow"), QStringLiteral("StaffRollWindow"),
                             QStringLiteral("ClearWindow")};

// --- the child process -------------------------------------------------------------------------

CloseWindow closeWindowNamed(const QString& name)
{
    static const QMap<QString, CloseWindow> names{{QStringLiteral("title"), CloseWindow::Title},
                                                  {QStringLiteral("main"), CloseWindow::MainWindow},
                                                  {QStringLiteral("message"), CloseWindow::MessageWindow},
                                                  {QStringLiteral("roll"), CloseWindow::Roll},
                                                  {QStringLiteral("clear"), CloseWindow::ClearScreen}};
    return names.value(name, CloseWindow::None);
}

QJsonArray toJson(const QStringList& list) { return QJsonArray::fromStringList(list); }

// Prints what happened up to the end, then ends the process as the real program would.
[[noreturn]] void reportAndExit(const PlaythroughResult& result)
{
    QStringList afterClose;
    const std::size_t end = result.ends.empty() ? result.commands.size() : result.ends.back().commandsBefore;
    for (std::size_t i = result.commandsAtClose; i < end; ++i)
        afterClose << QString::fromStdString(result.commands[i]);
    QJsonObject report{{QStringLiteral("failure"), result.failure},
                       {QStringLiteral("fatal"), result.fatalError},
                       {QStringLiteral("notices"), toJson(result.notices)},
                       {QStringLiteral("phases"), toJson(result.phases)},
                       {QStringLiteral("musicAfterClose"), toJson(afterClose)},
                       {QStringLiteral("rollHeadings"), result.rollHeadings.size()}};
    if (!result.ends.empty()) {
        report[QStringLiteral("status")] = result.ends.back().status;
        report[QStringLiteral("windowsAtEnd")] = result.ends.back().windows;
    }
    std::printf("REPORT %s\n", QJsonDocument(report).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
    std::_Exit(result.ends.empty() || !result.failure.isEmpty() ? 99 : result.ends.back().status);
}

int runChild(const QByteArray& request)
{
    const QJsonObject what = QJsonDocument::fromJson(request).object();
    PlaythroughOptions options;
    options.close = closeWindowNamed(what.value(QStringLiteral("close")).toString());
    options.closeAtState = what.value(QStringLiteral("at")).toInt(10);
    options.noticeSetting =
        what.value(QStringLiteral("setting")).isNull() ? QString() : what.value(QStringLiteral("setting")).toString();
    options.onEnd = reportAndExit;
    reportAndExit(playThrough(dataDirectory(), options)); // reached only if nothing ended the program
}

struct ChildReport {
    int exitCode = -1;
    QJsonObject report;
};

ChildReport runInChild(const QJsonObject& request)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LW_PLAYTHROUGH_CHILD"), QString::fromUtf8(QJsonDocument(request).toJson()));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {});
    ChildReport result;
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
        return result;
    }
    result.exitCode = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
        if (line.startsWith("REPORT "))
            result.report = QJsonDocument::fromJson(line.mid(7)).object();
    return result;
}

QStringList strings(const QJsonValue& value)
{
    QStringList list;
    for (const QJsonValue& item : value.toArray())
        list << item.toString();
    return list;
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
        QVERIFY(result.notices.isEmpty()); // the setting reads exactly "OFF"
        QCOMPARE(result.phases, kWholeFlow);

        // Every story state was stood at, each reached by a click or key of the player's.
        std::set<int> story = lw::test::storyStates();
        story.erase(565);
        QCOMPARE(result.visited, story);

        // Before any command: the pointer names each command and keeps the last name over the
        // picture; a click on the picture gives the hint.
        QCOMPARE(result.hoverNames, (QStringList{"見る", "話をする", "考えてみる", "魔法を使う", "次へ", "次へ"}));
        QCOMPARE(result.hint, QStringLiteral("上の方にあるアイコンを選択してから、画面のどこかをクリックしてね。"));

        // Look at the statue across the 480-pixel picture: thirds split at 160 and 320 pixels.
        QCOMPARE(result.columns.size(), std::size_t(kProbePixels.size()));
        const QString statue = result.columns.front().line;
        const QString street = result.columns.back().line;
        QVERIFY(statue.contains(QStringLiteral("ハチ公")));
        QVERIFY(statue != street);
        for (const ColumnProbe& probe : result.columns) {
            const int column = probe.x < 160 ? 1 : probe.x < 320 ? 2 : 3;
            QVERIFY2(probe.column == column, qPrintable(QString("x %1 gave column %2").arg(probe.x).arg(probe.column)));
            QCOMPARE(probe.line, column == 3 ? street : statue);
        }

        // Ctrl+J on the message window asked once (J alone did not) and sent the story back to
        // its first scene, whose music started again.
        QCOMPARE(result.prompts,
                 QStringList{QStringLiteral("ずるちゃん|ずるちゃん画面じゃーんぷ！画面IDを入力してね。|10")});
        const std::vector<std::string> firstPieces(result.opened.begin(), result.opened.begin() + 5);
        QCOMPARE(firstPieces,
                 (std::vector<std::string>{"Ksnet.mid", "Showt.mid", "okera.mid", "okera.mid", "yoseiden.mid"}));
        QCOMPARE(result.opened.back(), std::string("prum.mid"));
        for (const char* piece : {"Litldrm.mid", "Sizuku.mid", "Tinwaki.mid", "tinwaki.mid"})
            QVERIFY2(std::find(result.opened.begin(), result.opened.end(), piece) != result.opened.end(), piece);
        QVERIFY(result.waveStarted);

        // The roll followed the music: it ended after the piece passed 690 sixteenths at about
        // 150 beats a minute (about 69 s, 345 ticks), not on its own 2-units-a-tick clock, and
        // showed every entry with a heading.
        QVERIFY2(result.rollTicks > 300 && result.rollTicks < 400, qPrintable(QString::number(result.rollTicks)));
        QCOMPARE(result.rollHeadings.size(), 18);
        QCOMPARE(result.rollHeadings.front(), QStringLiteral("Lunaweave"));
        QCOMPARE(result.rollHeadings.back(), QStringLiteral("著作"));
    }

    // The player closes a window. The title, main and message windows end the program at once;
    // the roll goes on to the clear screen; the clear screen ends it. The notice shows for any
    // setting but exactly "OFF".
    void closingWindows_data()
    {
        QTest::addColumn<QString>("close");
        QTest::addColumn<int>("at");
        QTest::addColumn<QJsonValue>("setting");
        QTest::addColumn<QStringList>("phases"); // the windows on screen, each change, to the end
        QTest::addColumn<QString>("windowsAtEnd");
        QTest::addColumn<QStringList>("musicAtClose"); // MIDI commands from the close to the end
        const QStringList untilGame = kWholeFlow.mid(0, 3);
        const QStringList closeMidi{QStringLiteral("close Midi")};
        QTest::newRow("title, nothing stored")
            << "title" << 10 << QJsonValue(QJsonValue::Null) << kWholeFlow.mid(0, 2) << "TitleWindow" << closeMidi;
        QTest::newRow("main window at 10, \"off\"")
            << "main" << 10 << QJsonValue("off") << untilGame << "MainWindow MessageWindow" << closeMidi;
        QTest::newRow("main window at 345, \"OFF \"")
            << "main" << 345 << QJsonValue("OFF ") << untilGame << "MainWindow MessageWindow" << closeMidi;
        QTest::newRow("message window at 10, full-width")
            << "message" << 10 << QJsonValue("ＯＦＦ") << untilGame << "MainWindow MessageWindow" << QStringList{};
        QTest::newRow("message window at 420, \"OFF\"")
            << "message" << 420 << QJsonValue("OFF") << untilGame << "MainWindow MessageWindow" << QStringList{};
        QTest::newRow("roll, then O K") << "roll" << 10 << QJsonValue("OFF") << kWholeFlow << "ClearWindow"
                                        << QStringList{};
        QTest::newRow("clear screen") << "clear" << 10 << QJsonValue("") << kWholeFlow << "ClearWindow" << closeMidi;
    }
    void closingWindows()
    {
        QFETCH(QString, close);
        QFETCH(int, at);
        QFETCH(QJsonValue, setting);
        QFETCH(QStringList, phases);
        QFETCH(QString, windowsAtEnd);
        QFETCH(QStringList, musicAtClose);
        const ChildReport child = runInChild({{"close", close}, {"at", at}, {"setting", setting}});
        const QJsonObject& report = child.report;
        QVERIFY2(!report.isEmpty(), "the child gave no report");
        QVERIFY2(report["failure"].toString().isEmpty(), qPrintable(report["failure"].toString()));
        QVERIFY2(report["fatal"].toString().isEmpty(), qPrintable(report["fatal"].toString()));
        QCOMPARE(child.exitCode, 0);
        QCOMPARE(report["status"].toInt(-1), 0);
        QCOMPARE(strings(report["notices"]), setting.toString() == "OFF" ? QStringList{} : QStringList{kNotice});
        QCOMPARE(strings(report["phases"]), phases);
        QCOMPARE(report["windowsAtEnd"].toString(), windowsAtEnd);
        QCOMPARE(strings(report["musicAfterClose"]), musicAtClose);
        if (close == "roll") // no entry after the close
            QCOMPARE(report["rollHeadings"].toInt(), 5);
    }

    void eachFileMissingOrDamaged_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("damaged");
        for (const QString& name : dataFiles()) {
            // The 2x twins are never read at 1x; their fallback is tested at 2x beside the loader.
            if (name.contains(QStringLiteral("@2x.")))
                continue;
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

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // As the game's own start-up sets it: the game decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);
    if (qEnvironmentVariableIsSet("LW_PLAYTHROUGH_CHILD"))
        return runChild(qgetenv("LW_PLAYTHROUGH_CHILD"));
    TestPlaythrough test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_playthrough.moc"
