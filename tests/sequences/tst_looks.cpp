// What the sequence windows show: the title, the demo, the staff roll and the clear screen, read
// from the widgets by object name (texts, fonts, colours, geometry), and a few pixels of what
// they paint.
#include "ClearWindow.h"
#include "Fonts.h"
#include "LogoDemo.h"
#include "SequenceFixture.h"
#include "StaffRollWindow.h"
#include "TitleWindow.h"
#include "Twips.h"

#include <QtTest>

#include <memory>

using namespace lw;

namespace {

// Geometry in the design's twips, as pixels.
QRect twips(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

GameWindow& windowNamed(testing::SequenceFixture* fx, const QString& name)
{
    if (name == "TitleWindow")
        return fx->title.get();
    if (name == "StaffRollWindow")
        return fx->roll.get();
    if (name == "ClearWindow")
        return fx->clear.get();
    return fx->demo.get();
}

// A child by object name; for a control array, the item whose Index property is `index`.
QWidget* child(QWidget& parent, const QString& name, int index)
{
    if (name.isEmpty())
        return &parent;
    for (QWidget* widget : parent.findChildren<QWidget*>(name))
        if (index < 0 || widget->property("Index").toInt() == index)
            return widget;
    return nullptr;
}

QString textOf(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    return widget->windowTitle();
}

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

struct FontSpec {
    QString name; // the game's font name
    double points;
    bool bold, italic;
};

} // namespace

Q_DECLARE_METATYPE(FontSpec)

class TestLooks : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<testing::SequenceFixture> fx;

private slots:
    void init() { fx = std::make_unique<testing::SequenceFixture>(); }
    void cleanup()
    {
        fx->demo.unload();
        fx->title.unload();
        fx->roll.unload();
        fx->clear.unload();
        testing::flushDeletes();
        fx.reset();
    }

    void widgets_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");   // empty: the window itself (caption, client area)
        QTest::addColumn<int>("index");      // item of a control array, or -1
        QTest::addColumn<QString>("text");   // null: not checked
        QTest::addColumn<FontSpec>("font");  // empty name: not checked
        QTest::addColumn<QColor>("colour");  // text colour (background for a window); invalid: not checked
        QTest::addColumn<QRect>("geometry"); // pixels
        QTest::addColumn<int>("alignment");  // horizontal alignment flags, or 0: not checked
        const QString none;
        const FontSpec noFont{};
        const QColor noColour;
        const FontSpec titleDefault{"MS PGothic", 9, false, false};
        const int left = Qt::AlignLeft, right = Qt::AlignRight, centre = Qt::AlignHCenter;

        QTest::newRow("title") << "TitleWindow"
                               << "" << -1 << "Lunaweave　オープニング" << noFont << QColor(0, 192, 0)
                               << twips(0, 0, 5475, 2745) << 0;
        QTest::newRow("title firstWord") << "TitleWindow"
                                         << "firstWord" << -1 << "Luna" << FontSpec{"ＭＳ ゴシック", 21.75, false, true}
                                         << QColor(255, 0, 0) << twips(240, 600, 3615, 615) << left;
        QTest::newRow("title secondWord") << "TitleWindow"
                                          << "secondWord" << -1 << "weave" << FontSpec{"ＭＳ 明朝", 27.75, true, true}
                                          << QColor(192, 255, 255) << twips(240, 1320, 5055, 855) << right;
        QTest::newRow("title makersLine") << "TitleWindow"
                                          << "makersLine" << -1 << "Kestrune　2026年　制作・著作" << titleDefault
                                          << QColor(Qt::black) << twips(360, 2280, 4815, 255) << centre;
        QTest::newRow("title seriesLine") << "TitleWindow"
                                          << "seriesLine" << -1 << "Solvenne　３" << titleDefault << QColor(0, 0, 255)
                                          << twips(120, 120, 2655, 255) << left;

        QTest::newRow("demo") << "LogoDemo"
                              << "" << -1 << "Kestrune" << noFont << QColor(Qt::black) << twips(0, 0, 4890, 2355) << 0;
        QTest::newRow("demo firstWordRest")
            << "LogoDemo"
            << "firstWordRest" << -1 << "airy" << FontSpec{"MS Sans Serif", 24, false, false} << QColor(255, 0, 0)
            << twips(840, 1800, 1335, 615) << left;
        QTest::newRow("demo secondWordRest")
            << "LogoDemo"
            << "secondWordRest" << -1 << "et" << FontSpec{"MS Sans Serif", 24, false, false} << QColor(255, 0, 255)
            << twips(3000, 1800, 495, 615) << left;
        QTest::newRow("demo makerWord") << "LogoDemo"
                                        << "makerWord" << -1 << "Kestrune"
                                        << FontSpec{"MS Sans Serif", 13.5, true, false} << QColor(0, 0, 255)
                                        << twips(3600, 1920, 1215, 375) << left;
        // The mascots, right of the visible area at load, each the size of its picture.
        QTest::newRow("demo walking") << "LogoDemo"
                                      << "mascots" << 0 << none << noFont << noColour
                                      << QRect(twipsToPixels(6240), twipsToPixels(120), 98, 90) << 0;
        QTest::newRow("demo standing") << "LogoDemo"
                                       << "mascots" << 1 << none << noFont << noColour
                                       << QRect(twipsToPixels(5280), twipsToPixels(240), 78, 94) << 0;
        QTest::newRow("demo flying") << "LogoDemo"
                                     << "mascots" << 2 << none << noFont << noColour
                                     << QRect(twipsToPixels(6480), twipsToPixels(1680), 88, 99) << 0;

        QTest::newRow("roll") << "StaffRollWindow"
                              << "" << -1 << "Lunaweave　エンディング" << noFont << noColour << twips(0, 0, 8115, 2610)
                              << 0;
        QTest::newRow("roll entryPicture")
            << "StaffRollWindow"
            << "entryPicture" << -1 << none << noFont << noColour << twips(0, 0, 3600, 2620) << 0;
        QTest::newRow("roll headingLabel") << "StaffRollWindow"
                                           << "headingLabel" << -1 << "" << FontSpec{"ＭＳ Ｐゴシック", 12, true, false}
                                           << noColour << twips(3720, 120, 4215, 375) << left;
        QTest::newRow("roll creditLabel")
            << "StaffRollWindow"
            << "creditLabel" << -1 << "" << FontSpec{"ＭＳ Ｐゴシック", 14.25, true, false} << noColour
            << twips(3720, 720, 4215, 1095) << left;
        QTest::newRow("roll cache holder 20") << "StaffRollWindow"
                                              << "cachedPicture" << 20 << none << noFont << noColour
                                              << twips(120 + 6 * 840, 3000 + 2 * 600, 735, 495) << 0;

        QTest::newRow("clear") << "ClearWindow"
                               << "" << -1 << "Information" << noFont << noColour << twips(0, 0, 5505, 2205) << 0;
        QTest::newRow("clear messageLabel")
            << "ClearWindow"
            << "messageLabel" << -1 << none << FontSpec{"ＭＳ Ｐゴシック", 9.75, false, false} << noColour
            << twips(0, 0, 5535, 1575) << left;
        QTest::newRow("clear okButton") << "ClearWindow"
                                        << "okButton" << -1 << "O K" << noFont << noColour
                                        << twips(2160, 1800, 1215, 375) << 0;
    }
    void widgets()
    {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(FontSpec, font);
        QFETCH(QColor, colour);
        QFETCH(QRect, geometry);
        QFETCH(int, alignment);
        GameWindow& form = windowNamed(fx.get(), window);
        QWidget* widget = child(form, name, index);
        QVERIFY(widget);
        if (!text.isNull())
            QCOMPARE(textOf(widget), text);
        if (!font.name.isEmpty()) {
            QCOMPARE(widget->font().families().value(0), fontFamilyFor(font.name));
            QCOMPARE(widget->font().pixelSize(), pointsToPixels(font.points));
            QCOMPARE(widget->font().bold(), font.bold);
            QCOMPARE(widget->font().italic(), font.italic);
        }
        if (colour.isValid())
            QCOMPARE(widget->palette().color(name.isEmpty() ? QPalette::Window : QPalette::WindowText), colour);
        QCOMPARE(name.isEmpty() ? QRect(QPoint(), widget->size()) : widget->geometry(), geometry);
        if (alignment)
            QCOMPARE(int(qobject_cast<QLabel*>(widget)->alignment() & Qt::AlignHorizontal_Mask), alignment);
    }

    // Pixels of what the windows paint: an area in one colour throughout, or one with at least a
    // pixel of about the colour (a letter, smoothed at its edges).
    void pixels_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QRect>("area"); // twips
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("throughout");
        QTest::newRow("title background") << "TitleWindow" << QRect(3900, 300, 1400, 250) << QColor(0, 192, 0) << true;
        QTest::newRow("title Luna in red") << "TitleWindow" << QRect(240, 600, 3615, 615) << QColor(255, 0, 0) << false;
        QTest::newRow("title weave in pale cyan")
            << "TitleWindow" << QRect(240, 1320, 5055, 855) << QColor(192, 255, 255) << false;
        QTest::newRow("title series in blue")
            << "TitleWindow" << QRect(120, 120, 2655, 255) << QColor(0, 0, 255) << false;
        QTest::newRow("demo background") << "LogoDemo" << QRect(2400, 0, 2490, 1700) << QColor(Qt::black) << true;
        QTest::newRow("demo first word in red")
            << "LogoDemo" << QRect(840, 1800, 1335, 615) << QColor(255, 0, 0) << false;
        QTest::newRow("demo second word in magenta")
            << "LogoDemo" << QRect(3000, 1800, 495, 615) << QColor(255, 0, 255) << false;
        QTest::newRow("roll picture") << "StaffRollWindow" << QRect(0, 0, 3600, 2600) << QColor(10, 120, 200) << true;
    }
    void pixels()
    {
        QFETCH(QString, window);
        QFETCH(QRect, area);
        QFETCH(QColor, colour);
        QFETCH(bool, throughout);
        GameWindow& form = windowNamed(fx.get(), window);
        if (auto* demo = qobject_cast<LogoDemo*>(&form)) {
            // The logo as it stands at the end: every word shown, the figures out of the words.
            demo->stepTimer.stop();
            demo->onActivate();
            for (int tick = 0; tick < 42; ++tick)
                demo->step();
        }
        if (auto* roll = qobject_cast<StaffRollWindow*>(&form)) {
            QImage picture(480, 349, QImage::Format_RGB32);
            picture.fill(colour);
            roll->cachedPicture(3)->setPicture(picture);
            roll->showEntry(3, QStringLiteral("プリム"), QStringLiteral("ＣＧ：水無月あかり"));
        }
        const QImage image = form.grab().toImage();
        const QRect pixels = twips(area.x(), area.y(), area.width(), area.height()) & image.rect();
        int matching = 0;
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x)
                matching += near(image.pixelColor(x, y), colour, throughout ? 0 : 48) ? 1 : 0;
        const int all = pixels.width() * pixels.height();
        QVERIFY2(throughout ? matching == all : matching > 0,
                 qPrintable(QStringLiteral("%1 of %2 pixels").arg(matching).arg(all)));
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
