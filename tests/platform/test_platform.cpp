// Tests of the platform layer: data-file lookup, picture loading, settings, waits, windows.
#include "DataFiles.h"
#include "ErrorReport.h"
#include "Fonts.h"
#include "GameWindow.h"
#include "ImageBox.h"
#include "PictureLoader.h"
#include "Runtime.h"
#include "Settings.h"
#include "Twips.h"
#include "fakes/RecordingProgramEnd.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <stdexcept>

#include <sys/stat.h>

using namespace lw;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray encode(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage sample()
{
    QImage image(48, 35, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    return image;
}

// A window that records its load and unload queries.
class ProbeWindow : public GameWindow {
public:
    ProbeWindow() : GameWindow(FrameStyle::FixedDialog) { setClientSizeTwips(7170, 5835); }
    static inline int loads = 0;
    static inline QList<UnloadReason> queries;

protected:
    void onLoad() override { ++loads; }
    void onUnload(UnloadReason reason) override { queries.append(reason); }
};

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void dataFileLookupIgnoresLetterCase_data()
    {
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("found");
        // clang-format off
        QTest::newRow("same case") << "Tinwaki.mid" << "Tinwaki.mid" << true;
        QTest::newRow("other case") << "Tinwaki.mid" << "tinwaki.mid" << true;
        QTest::newRow("upper extension") << "lwdemo2.wav" << "lwdemo2.WAV" << true;
        QTest::newRow("kanji key") << "研究室1.LWV" << "研究室1.lwv" << true;
        QTest::newRow("half-width katakana") << "ﾌﾟﾘﾑ1.LWV" << "ﾌﾟﾘﾑ1.LWV" << true;
        QTest::newRow("full-width is not half-width") << "ﾌﾟﾘﾑ1.LWV" << "プリム1.LWV" << false;
        QTest::newRow("missing") << "okera.mid" << "okera2.mid" << false;
        QTest::newRow("no directory escape") << "okera.mid" << "../okera.mid" << false;
        QTest::newRow("empty name") << "okera.mid" << "" << false;
        // clang-format on
    }
    void dataFileLookupIgnoresLetterCase()
    {
        QFETCH(QString, onDisk);
        QFETCH(QString, asked);
        QFETCH(bool, found);
        QTemporaryDir dir;
        writeFile(dir.filePath(onDisk), "x");
        const QString path = findDataFile(asked, dir.path());
        QCOMPARE(!path.isEmpty(), found);
        if (found)
            QCOMPARE(QFileInfo(path).fileName(), onDisk);
    }

    void dataPathResolvesOnlyTheLastComponent()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("音楽 フォルダ"));
        const QString sub = dir.filePath(QStringLiteral("音楽 フォルダ"));
        writeFile(sub + QStringLiteral("/Tinwaki.mid"), "x");
        QCOMPARE(resolveDataPath(sub + QStringLiteral("/tinwaki.mid")), sub + QStringLiteral("/Tinwaki.mid"));
        const QString wrongDir = dir.filePath(QStringLiteral("音楽 ふぉるだ/tinwaki.mid"));
        QCOMPARE(resolveDataPath(wrongDir), wrongDir);
    }

    void picturesAreRecognisedByContent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        const QByteArray png = encode(sample(), "PNG");
        QTest::newRow("png") << png << int(PictureError::None);
        QTest::newRow("bmp") << encode(sample(), "BMP") << int(PictureError::None);
        QTest::newRow("jpeg") << encode(sample(), "JPEG") << int(PictureError::None);
        // A one-frame GIF written by hand: Qt reads GIF but does not write it.
        QTest::newRow("gif") << QByteArray::fromHex("47494638396101000100800000ffffff00000021f90401000000002c00000000"
                                                    "010001000002024401003b")
                             << int(PictureError::None);
        QTest::newRow("truncated png") << png.left(png.size() / 2) << int(PictureError::Invalid);
        QTest::newRow("text") << QByteArray("this is not a picture") << int(PictureError::Invalid);
        QTest::newRow("empty") << QByteArray() << int(PictureError::Invalid);
        // A PNG header that claims 100000 × 100000 pixels.
        QByteArray huge = png.left(33);
        huge[16] = 0;
        huge[17] = 1;
        huge[18] = char(0x86);
        huge[19] = char(0xA0);
        huge[20] = 0;
        huge[21] = 1;
        huge[22] = char(0x86);
        huge[23] = char(0xA0);
        QTest::newRow("oversized header") << huge << int(PictureError::Invalid);
    }
    void picturesAreRecognisedByContent()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        QTemporaryDir dir;
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        writeFile(QStringLiteral("渋谷1.LWV"), bytes);
        const Picture picture = readPicture(QStringLiteral("渋谷1.LWV"));
        QDir::setCurrent(old);
        QCOMPARE(int(picture.error), error);
        QCOMPARE(picture.image.isNull(), error != int(PictureError::None));
    }

    // Opening a FIFO for reading blocks until a writer comes; under a picture's name, in any
    // letter case, it reads as missing at once.
    void picturesNeverOpenFifos()
    {
        QTemporaryDir dir;
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QCOMPARE(::mkfifo(QFile::encodeName(QStringLiteral("渋谷2.lwv")).constData(), 0600), 0);
        const Picture exact = readPicture(QStringLiteral("渋谷2.lwv"));
        const Picture otherCase = readPicture(QStringLiteral("渋谷2.LWV"));
        QDir::setCurrent(old);
        QCOMPARE(int(exact.error), int(PictureError::NotFound));
        QCOMPARE(int(otherCase.error), int(PictureError::NotFound));
    }

    void loadPictureReportsTheFileAndEnds()
    {
        QTemporaryDir dir;
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        writeFile(QStringLiteral("望1.LWV"), "garbage");
        fakes::RecordingProgramEnd end;
        const QStringList& reports = end.fatalReports;
        QVERIFY_THROWS_EXCEPTION(fakes::FatalCaught, LoadPicture(QStringLiteral("ﾙﾈｯﾀ9.LWV"), 1.0, end));
        QVERIFY_THROWS_EXCEPTION(fakes::FatalCaught, LoadPicture(QStringLiteral("望1.LWV"), 1.0, end));
        QDir::setCurrent(old);
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].contains(QStringLiteral("file not found")));
        QVERIFY(reports[0].contains(QStringLiteral("ﾙﾈｯﾀ9.LWV")));
        QVERIFY(reports[1].contains(QStringLiteral("invalid picture")));
        QVERIFY(reports[1].contains(QStringLiteral("望1.LWV")));
    }

    // The 2x twin serves where the density wants it and reads; anything else falls back to the
    // 1x file, whose failures stay fatal. The twin keeps the 1x size in device-independent pixels.
    void sharpTwinOrFallback_data()
    {
        QTest::addColumn<QByteArray>("oneX"); // empty: no such file
        QTest::addColumn<QByteArray>("twoX"); // empty: no such file
        QTest::addColumn<double>("density");
        QTest::addColumn<int>("expectedRatio"); // 0: the load is fatal
        const QByteArray one = encode(sample(), "PNG");
        QImage big(96, 70, QImage::Format_RGB32);
        big.fill(Qt::red);
        const QByteArray two = encode(big, "PNG");
        QTest::newRow("1x screen keeps the 1x file") << one << two << 1.0 << 1;
        QTest::newRow("2x screen takes the twin") << one << two << 2.0 << 2;
        QTest::newRow("any density above 1 takes the twin") << one << two << 1.25 << 2;
        QTest::newRow("missing twin") << one << QByteArray() << 2.0 << 1;
        QTest::newRow("unreadable twin") << one << QByteArray("garbage") << 2.0 << 1;
        QTest::newRow("truncated twin") << one << two.left(two.size() / 2) << 2.0 << 1;
        QTest::newRow("neither file") << QByteArray() << QByteArray() << 2.0 << 0;
    }
    void sharpTwinOrFallback()
    {
        QFETCH(QByteArray, oneX);
        QFETCH(QByteArray, twoX);
        QFETCH(double, density);
        QFETCH(int, expectedRatio);
        QTemporaryDir dir;
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        if (!oneX.isEmpty())
            writeFile(QStringLiteral("渋谷1.LWV"), oneX);
        if (!twoX.isEmpty())
            writeFile(QStringLiteral("渋谷1@2x.LWV"), twoX);
        fakes::RecordingProgramEnd end;
        const QStringList& reports = end.fatalReports;
        QImage picture;
        try {
            picture = LoadPicture(QStringLiteral("渋谷1.LWV"), density, end);
        } catch (const fakes::FatalCaught&) {
        }
        // The staff roll's cache: the twin's bytes, decoded later without the file.
        const QImage cached = decodeSharpPicture(readSharpPictureFile(QStringLiteral("渋谷1.LWV")));
        QDir::setCurrent(old);
        if (expectedRatio == 0) {
            QCOMPARE(reports.size(), 1);
            QVERIFY(reports[0].contains(QStringLiteral("渋谷1.LWV")));
            return;
        }
        QVERIFY(reports.isEmpty());
        QCOMPARE(picture.devicePixelRatio(), double(expectedRatio));
        QCOMPARE(picture.deviceIndependentSize(), QSizeF(48, 35));
        QCOMPARE(picture.pixelColor(0, 0), expectedRatio == 2 ? QColor(Qt::red) : QColor(40, 120, 200));
        // A truncated twin passes the cache's header check but decodes to nothing, so the box that
        // shows it keeps the 1x picture.
        QCOMPARE(!cached.isNull(), decodePicture(twoX).error == PictureError::None);
    }

    // The staff roll's holders keep the twin undecoded; the shown box picks by its own density and
    // decodes once while the same entry stays.
    void rollHolderShowsTheDensityThatFits()
    {
        QImage big(96, 70, QImage::Format_RGB32);
        big.fill(Qt::red);
        ImageBox holder(nullptr, true), plain(nullptr, true), shown(nullptr, true);
        holder.setPicture(sample(), encode(big, "PNG"));
        plain.setPicture(sample());

        shown.showPictureOf(holder);
        QCOMPARE(shown.picture(), sample());
        shown.setZoom(2);
        shown.showPictureOf(holder);
        QCOMPARE(shown.picture().devicePixelRatio(), 2.0);
        QCOMPARE(shown.picture().pixelColor(0, 0), QColor(Qt::red));
        const qint64 decoded = shown.picture().cacheKey();
        shown.showPictureOf(holder);
        QCOMPARE(shown.picture().cacheKey(), decoded);
        shown.showPictureOf(plain);
        QCOMPARE(shown.picture(), sample());
        shown.showPictureOf(holder);
        QCOMPARE(shown.picture().devicePixelRatio(), 2.0);

        // Without stretch the box takes the picture's 1x size times its zoom, whichever density
        // the picture comes in.
        ImageBox sized;
        sized.setZoom(2);
        sized.showPictureOf(holder);
        QCOMPARE(sized.size(), QSize(96, 70));
        sized.setZoom(1);
        QCOMPARE(sized.size(), QSize(48, 35));
    }

    // Settings files as a player might write them by hand: only a plain string value counts.
    void settingsReadOneStringOrEmpty_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("value");
        const QString solvenne = QStringLiteral("Solvenne");
        QTest::newRow("OFF") << QByteArray("[Solvenne]\nLWFLock=OFF\n") << solvenne << QStringLiteral("OFF");
        QTest::newRow("Windows line ends, quoted")
            << QByteArray("[Solvenne]\r\nLWFLock=\"OFF\"\r\n") << solvenne << QStringLiteral("OFF");
        QTest::newRow("other section") << QByteArray("[Other]\nLWFLock=OFF\n") << solvenne << QString();
        QTest::newRow("key in another case") << QByteArray("[Solvenne]\nlwflock=OFF\n") << solvenne << QString();
        QTest::newRow("list") << QByteArray("[Solvenne]\nLWFLock=OFF, ON\n") << solvenne << QString();
        QTest::newRow("byte array") << QByteArray("[Solvenne]\nLWFLock=@ByteArray(OFF)\n") << solvenne << QString();
        QTest::newRow("stored string type")
            << QByteArray("[Solvenne]\nLWFLock=@Variant(\\0\\0\\0\\n\\0\\0\\0\\x6\\0O\\0\\x46\\0\\x46)\n") << solvenne
            << QStringLiteral("OFF");
        QTest::newRow("stored number type")
            << QByteArray("[Solvenne]\nLWFLock=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)\n") << solvenne << QString();
        QTest::newRow("binary garbage") << QByteArray("\x80[\0\xff=\n=\x01", 9) << solvenne << QString();
    }
    void settingsReadOneStringOrEmpty()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, value);
        const QString path = QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kestrune"),
                                       QStringLiteral("Kestrune"))
                                 .fileName();
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        writeFile(path, file);
        // Qt keeps a parsed file until its size or time stamp moves: each row gets a time of its own.
        static int row = 0;
        QFile stamped(path);
        QVERIFY(stamped.open(QIODevice::ReadWrite));
        QVERIFY(stamped.setFileTime(QDateTime::currentDateTime().addSecs(-3600 + ++row),
                                    QFileDevice::FileModificationTime));
        stamped.close();
        QCOMPARE(QtSettingsStore().GetSetting(QStringLiteral("Kestrune"), section, QStringLiteral("LWFLock")), value);
    }

    void shutdownHooksRunOnceInReverse()
    {
        ProcessEnd end;
        QStringList order;
        end.addShutdownHook([&] { order << QStringLiteral("first"); });
        end.addShutdownHook([&] { order << QStringLiteral("second"); });
        end.runShutdownHooks();
        end.runShutdownHooks(); // hooks ran once; nothing left to run
        QCOMPARE(order, (QStringList{QStringLiteral("second"), QStringLiteral("first")}));
    }

    void firstWindowShownStartsWorkOnceBeforeWhatTheWindowQueued()
    {
        // A window that queues work when shown, as the demo queues its first piece of music.
        class Queuing : public QWidget {
        public:
            explicit Queuing(QStringList& order) : order_(order) {}

        protected:
            void showEvent(QShowEvent*) override
            {
                QTimer::singleShot(0, this, [this] { order_ << QStringLiteral("window"); });
            }

        private:
            QStringList& order_;
        };
        QStringList order;
        runtime::whenFirstWindowShown([&order] { order << QStringLiteral("action"); });
        QCoreApplication::processEvents();
        Queuing first(order);
        first.show();
        QVERIFY(order.isEmpty()); // queued: the window maps first
        QCoreApplication::processEvents();
        Queuing second(order);
        second.show();
        QCoreApplication::processEvents();
        QCOMPARE(order, (QStringList{QStringLiteral("action"), QStringLiteral("window"), QStringLiteral("window")}));
    }

    void windowsMeasureInTwips()
    {
        ProbeWindow window;
        QCOMPARE(window.clientWidthTwips(), 7170.0);
        QCOMPARE(window.clientHeightTwips(), 5835.0);
        QCOMPARE(window.width(), 478);
        QVERIFY(window.widthTwips() >= window.clientWidthTwips());
        window.setLeftTwips(1500);
        window.setTopTwips(3000);
        QCOMPARE(window.pos(), QPoint(100, 200));
        window.centreOnScreen();
        QCOMPARE(window.leftTwips(), toSingle(std::round((screenWidthTwips() - window.widthTwips()) / 2 / 15) * 15));
    }

    void windowSlotHoldsOneWindowWithUnloadQueries()
    {
        ProbeWindow::loads = 0;
        ProbeWindow::queries.clear();
        WindowSlot<ProbeWindow> slot([] { return new ProbeWindow; });
        ProbeWindow& first = slot.get();
        QCOMPARE(&slot.get(), &first);
        QCOMPARE(ProbeWindow::loads, 1);
        QVERIFY(!first.isVisible()); // loading does not show

        first.showActive();
        first.close(); // as the close box does
        QCOMPARE(ProbeWindow::queries, QList<UnloadReason>{UnloadReason::ByPlayer});
        QVERIFY(!slot.exists());

        ProbeWindow& second = slot.get();
        QCOMPARE(ProbeWindow::loads, 2);
        slot.unload();
        slot.unload(); // already gone: no second query
        QCOMPARE(ProbeWindow::queries, (QList<UnloadReason>{UnloadReason::ByPlayer, UnloadReason::ByProgram}));
        QVERIFY(!slot.exists());
        (void)second;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void gameFontsAreJapaneseFacesAtPixelSizes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("family");
        QTest::newRow("proportional gothic") << QStringLiteral("MS PGothic") << QStringLiteral("IPAPGothic");
        QTest::newRow("full-width name") << QStringLiteral("ＭＳ Ｐゴシック") << QStringLiteral("IPAPGothic");
        QTest::newRow("gothic") << QStringLiteral("ＭＳ ゴシック") << QStringLiteral("IPAGothic");
        QTest::newRow("mincho") << QStringLiteral("ＭＳ 明朝") << QStringLiteral("IPAMincho");
    }
    void gameFontsAreJapaneseFacesAtPixelSizes()
    {
        QFETCH(QString, name);
        QFETCH(QString, family);
        const QFont font = gameFont(name, 12, true);
        QCOMPARE(font.family(), family);
        QCOMPARE(font.pixelSize(), 16);
        QVERIFY(font.bold());
        QVERIFY(QFontInfo(font).family().startsWith(QStringLiteral("IPA")));
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
