// On a screen of twice the density (QT_SCALE_FACTOR=2) the game shows the generated 2x artwork:
// the scene picture on screen, the icon bar, the demo's mascots and the staff roll, whose cache
// serves the 2x pictures with no file left to read.
#include "GameState.h"
#include "LogoDemo.h"
#include "MainWindow.h"
#include "PictureDensity.h"
#include "PictureLoader.h"
#include "ScenePictures.h"
#include "ShellTestBase.h"
#include "StaffRollWindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

using namespace lw;
using namespace lw::testing;

namespace {

// Energy of the 4-neighbour Laplacian of the grey levels: fine detail and crisp edges raise it,
// softening lowers it.
double laplacianEnergy(const QImage& picture)
{
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int y = 1; y + 1 < grey.height(); ++y) {
        const uchar* above = grey.constScanLine(y - 1);
        const uchar* row = grey.constScanLine(y);
        const uchar* below = grey.constScanLine(y + 1);
        for (int x = 1; x + 1 < grey.width(); ++x) {
            const double l = above[x] + below[x] + row[x - 1] + row[x + 1] - 4.0 * row[x];
            sum += l * l;
        }
    }
    return sum / (double(grey.width() - 2) * (grey.height() - 2));
}

QImage file(const QString& name)
{
    QImage image(name);
    image.setDevicePixelRatio(1);
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestSharpPictures : public ShellTestBase {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        const QString data = qEnvironmentVariable("LW_DATA_DIR");
        QVERIFY2(QDir(data).exists(QStringLiteral("研究室1@2x.LWV")), "build the artwork first");
        installShellServices(data);
    }
    void cleanupTestCase() { removeShellServices(); }

    // What the screen shows of the scene picture is the 2x file, pixel for pixel, and it is
    // clearly sharper than the 1x picture stretched to the same size.
    void scenePictureOnScreenIsThe2xArtwork()
    {
        MainWindow& form = session().windows().main.get();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form, 5000));
        session().scenes().lastShownState() = 0;
        session().state().ScreenId = 30; // scene 3, 研究室1: a laboratory full of small shapes
        session().scenes().showSceneIfChanged();
        QCOMPARE(form.scenePicture->size(), QSize(480, 349));

        QImage onScreen = form.scenePicture->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(onScreen.size(), QSize(960, 698));
        onScreen.setDevicePixelRatio(1); // compared as the pixels they are
        const QImage sharp = file(QStringLiteral("研究室1@2x.LWV"));
        QCOMPARE(onScreen, sharp);

        const QImage stretched =
            file(QStringLiteral("研究室1.LWV")).scaled(960, 698, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double sharpEnergy = laplacianEnergy(onScreen), softEnergy = laplacianEnergy(stretched);
        qInfo("Laplacian energy: 2x artwork %.1f, 1x stretched %.1f", sharpEnergy, softEnergy);
        QVERIFY2(sharpEnergy > 2 * softEnergy, qPrintable(QStringLiteral("%1 vs %2").arg(sharpEnergy).arg(softEnergy)));

        // The icon bar comes from the 2x icons too and keeps its 32-pixel cells.
        for (ImageBox* icon : form.commandIcons) {
            QCOMPARE(icon->picture().devicePixelRatio(), 2.0);
            QCOMPARE(icon->size(), QSize(32, 32));
        }
    }

    // Without a 2x twin (missing or not a picture) the 1x file serves, at the same size.
    void missingOrBrokenTwinFallsBackTo1x()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(QStringLiteral("研究室1.LWV"), dir.filePath(QStringLiteral("研究室1.LWV"))));
        QVERIFY(QFile::copy(QStringLiteral("研究室2.LWV"), dir.filePath(QStringLiteral("研究室2.LWV"))));
        QFile broken(dir.filePath(QStringLiteral("研究室2@2x.LWV")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture");
        broken.close();
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        MainWindow& form = session().windows().main.get();
        for (const std::int16_t screen : {30, 50}) { // 研究室1 without a twin, 研究室2 with a broken one
            session().scenes().lastShownState() = 0;
            session().state().ScreenId = screen;
            session().scenes().showSceneIfChanged();
            QCOMPARE(form.scenePicture->picture().devicePixelRatio(), 1.0);
            QCOMPARE(form.scenePicture->size(), QSize(480, 349));
        }
        QDir::setCurrent(old);
    }

    // A picture decoded ahead on the worker is the one the scene change would read, pixel for
    // pixel and at the same pixel ratio, and is taken without touching the files again; a broken
    // or missing 1x file still ends the game with the same report when the scene comes.
    void picturesDecodedAheadAreTheOnesReadOnTheSpot_data()
    {
        QTest::addColumn<QString>("picture"); // the 1x file: "copy", "broken" or "missing"
        QTest::addColumn<QString>("twin");    // its 2x twin, the same
        QTest::addColumn<double>("density");
        QTest::newRow("2x twin at 2") << "copy"
                                      << "copy" << 2.0;
        QTest::newRow("2x twin at 1") << "copy"
                                      << "copy" << 1.0;
        QTest::newRow("broken twin") << "copy"
                                     << "broken" << 2.0;
        QTest::newRow("no twin") << "copy"
                                 << "missing" << 2.0;
        QTest::newRow("broken picture") << "broken"
                                        << "missing" << 2.0;
        QTest::newRow("missing picture") << "missing"
                                         << "missing" << 2.0;
    }
    void picturesDecodedAheadAreTheOnesReadOnTheSpot()
    {
        QFETCH(QString, picture);
        QFETCH(QString, twin);
        QFETCH(double, density);
        const QString name = QStringLiteral("研究室1.LWV");
        QTemporaryDir dir;
        const auto place = [&](const QString& file, const QString& how) {
            if (how == u"copy")
                QVERIFY(QFile::copy(file, dir.filePath(file)));
            if (how == u"broken") {
                QFile broken(dir.filePath(file));
                QVERIFY(broken.open(QIODevice::WriteOnly));
                broken.write("not a picture");
            }
        };
        place(name, picture);
        place(sharpFileName(name), twin);
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const auto load = [](const std::function<QImage()>& read, QString& error) {
            try {
                return read();
            } catch (const FatalCaught& fatal) {
                error = QString::fromStdString(fatal.what());
                return QImage();
            }
        };

        fakes::RecordingProgramEnd programEnd;
        ScenePictures pictures(programEnd);
        pictures.prefetch({name}, density);
        QTRY_VERIFY_WITH_TIMEOUT(pictures.isReady(name, density), 10000);
        QString onTheSpotError, aheadError;
        const QImage onTheSpot = load([&] { return LoadPicture(name, density, programEnd); }, onTheSpotError);
        const bool fails = picture != u"copy";
        QCOMPARE(!onTheSpotError.isEmpty(), fails);
        if (!fails) { // what was decoded ahead needs no file any more
            QVERIFY(QFile::remove(name));
            QFile::remove(sharpFileName(name));
        }
        const QImage ahead = load([&] { return pictures.take(name, density); }, aheadError);
        QDir::setCurrent(old);
        QCOMPARE(aheadError, onTheSpotError);
        QCOMPARE(ahead, onTheSpot);
        QCOMPARE(ahead.devicePixelRatio(), onTheSpot.devicePixelRatio());
        QVERIFY(!pictures.isReady(name, density)); // taken once, then forgotten
    }

    // The roll's cache is filled at start-up; at the ending it shows 2x pictures with the data
    // directory gone. The demo's mascots come from the 2x art, at their 1x sizes.
    void rollAndMascotsShowThe2xArtwork()
    {
        session().scenes().build();
        QTemporaryDir empty;
        const QString old = QDir::currentPath();
        QDir::setCurrent(empty.path());
        StaffRollWindow& roll = session().windows().roll.get();
        roll.showEntry(3, QStringLiteral("heading"), QStringLiteral("credit"));
        QDir::setCurrent(old);
        QCOMPARE(roll.entryPicture->picture().devicePixelRatio(), 2.0);
        QCOMPARE(roll.entryPicture->picture().size(), QSize(960, 698));
        session().windows().roll.unload();

        LogoDemo& demo = session().windows().demo.get();
        const QList<QSize> sizes = {{98, 90}, {78, 94}, {88, 99}};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(demo.mascots[i]->picture().devicePixelRatio(), 2.0);
            QCOMPARE(demo.mascots[i]->size(), sizes[i]);
        }
        session().windows().demo.unload();
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestSharpPictures test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_sharp_pictures.moc"
