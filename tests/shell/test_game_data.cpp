// Every picture the game reads is in the generated data directory and decodes at its size; the form
// artwork is built into the program instead.
#include "PictureLoader.h"
#include "SceneTable.h"

#include <QDir>
#include <QtTest>

using namespace lw;

class TestGameData : public QObject {
    Q_OBJECT

    QString old_;

private slots:
    void initTestCase()
    {
        const QString data = qEnvironmentVariable("LW_DATA_DIR");
        QVERIFY2(QDir(data).exists(), "LW_DATA_DIR must name the generated data directory");
        old_ = QDir::currentPath();
        QDir::setCurrent(data);
    }
    void cleanupTestCase() { QDir::setCurrent(old_); }

    void everySceneAndRollKeyHasItsPicture()
    {
        QStringList keys;
        for (const SceneRow& row : kSceneTable)
            keys << QString::fromUtf16(row.pictureKey.data(), qsizetype(row.pictureKey.size()));
        for (auto key : kRollPictureKeys)
            keys << QString::fromUtf16(key.data(), qsizetype(key.size()));
        keys.removeDuplicates();
        QCOMPARE(keys.size(), 37);
        for (const QString& key : keys) {
            const Picture picture = readPicture(key + QStringLiteral(".LWV"));
            QVERIFY2(picture.error == PictureError::None, qPrintable(key));
            QCOMPARE(picture.image.size(), QSize(480, 349));
            const Picture sharp = readPicture(key + QStringLiteral("@2x.LWV"));
            QVERIFY2(sharp.error == PictureError::None, qPrintable(key));
            QCOMPARE(sharp.image.size(), QSize(960, 698));
        }
    }

    void dataDirectoryHoldsOnlyScenesMusicAndTheWave()
    {
        const QStringList other =
            QDir()
                .entryList(QDir::Files)
                .filter(QRegularExpression(QStringLiteral(R"(^(?!.*\.(LWV|mid)$)(?!lwdemo2\.WAV$))")));
        QVERIFY2(other.isEmpty(), qPrintable(other.join(u' ')));
    }

    void builtInIconsAndMascotsHaveTheirSizes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("maxColours");
        // Each at 1x and as its 2x twin, twice the size with the same palette.
        for (const int d : {1, 2}) {
            const QByteArray twin = d == 1 ? QByteArray() : QByteArray("@2x");
            for (int i = 0; i < 10; ++i)
                QTest::addRow("icon %d%s", i, twin.constData())
                    << QStringLiteral("lwicon%1%2.png").arg(i).arg(QLatin1String(twin)) << QSize(32, 32) * d << 16;
            QTest::addRow("window icon%s", twin.constData())
                << QStringLiteral("lunaweave%1.png").arg(QLatin1String(twin)) << QSize(32, 32) * d << 16;
            QTest::addRow("walking%s", twin.constData())
                << QStringLiteral("mascot0%1.png").arg(QLatin1String(twin)) << QSize(98, 90) * d << 0;
            QTest::addRow("standing%s", twin.constData())
                << QStringLiteral("mascot1%1.png").arg(QLatin1String(twin)) << QSize(78, 94) * d << 0;
            QTest::addRow("flying%s", twin.constData())
                << QStringLiteral("mascot2%1.png").arg(QLatin1String(twin)) << QSize(88, 99) * d << 0;
        }
    }
    void builtInIconsAndMascotsHaveTheirSizes()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        QFETCH(int, maxColours);
        const QImage picture = builtInPicture(file);
        QCOMPARE(picture.size(), size);
        if (maxColours > 0) {
            QSet<QRgb> colours;
            const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    colours.insert(image.pixel(x, y));
            QVERIFY2(colours.size() <= maxColours, qPrintable(QString::number(colours.size())));
        }
    }
};

QTEST_GUILESS_MAIN(TestGameData)
#include "test_game_data.moc"
