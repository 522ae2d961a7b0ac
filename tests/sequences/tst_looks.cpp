// What the sequence windows show: the title, the demo, the staff roll and the clear screen, read
// from the widgets by object name (texts, fonts, colours, geometry), and a few pixels of what
// they paint.
#include "Fonts.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "LwDemo.h"
#include "SequenceFixture.h"
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

GameWindow& windowNamed(const QString& name)
{
    if (name == "Form3")
        return Window<Form3>::get();
    if (name == "Form4")
        return Window<Form4>::get();
    if (name == "Form5")
        return Window<Form5>::get();
    return Window<LwDemo>::get();
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
        Window<LwDemo>::Unload();
        Window<Form3>::Unload();
        Window<Form4>::Unload();
        Window<Form5>::Unload();
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

        QTest::newRow("title") << "Form3"
                               << "" << -1 << "Lunaweave　オープニング" << noFont << QColor(0, 192, 0)
                               << twips(0, 0, 5475, 2745) << 0;
        QTest::newRow("title Label1") << "Form3"
                                      << "Label1" << -1 << "Luna" << FontSpec{"ＭＳ ゴシック", 21.75, false, true}
                                      << QColor(255, 0, 0) << twips(240, 600, 3615, 615) << left;
        QTest::newRow("title Label2") << "Form3"
                                      << "Label2" << -1 << "weave" << FontSpec{"ＭＳ 明朝", 27.75, true, true}
                                      << QColor(192, 255, 255) << twips(240, 1320, 5055, 855) << right;
        QTest::newRow("title Label3") << "Form3"
                                      << "Label3" << -1 << "Kestrune　2026年　制作・著作" << titleDefault
                                      << QColor(Qt::black) << twips(360, 2280, 4815, 255) << centre;
        QTest::newRow("title Label4") << "Form3"
                                      << "Label4" << -1 << "Solvenne　３" << titleDefault << QColor(0, 0, 255)
                                      << twips(120, 120, 2655, 255) << left;

        QTest::newRow("demo") << "LwDemo"
                              << "" << -1 << "Kestrune" << noFont << QColor(Qt::black) << twips(0, 0, 4890, 2355) << 0;
        QTest::newRow("demo Label1") << "LwDemo"
                                     << "Label1" << -1 << "airy" << FontSpec{"MS Sans Serif", 24, false, false}
                                     << QColor(255, 0, 0) << twips(840, 1800, 1335, 615) << left;
        QTest::newRow("demo Label2") << "LwDemo"
                                     << "Label2" << -1 << "et" << FontSpec{"MS Sans Serif", 24, false, false}
                                     << QColor(255, 0, 255) << twips(3000, 1800, 495, 615) << left;
        QTest::newRow("demo Label3") << "LwDemo"
                                     << "Label3" << -1 << "Kestrune" << FontSpec{"MS Sans Serif", 13.5, true, false}
                                     << QColor(0, 0, 255) << twips(3600, 1920, 1215, 375) << left;
        // The mascots, right of the visible area at load, each the size of its picture.
        QTest::newRow("demo walking") << "LwDemo"
                                      << "Image1" << 0 << none << noFont << noColour
                                      << QRect(twipsToPixels(6240), twipsToPixels(120), 98, 90) << 0;
        QTest::newRow("demo standing") << "LwDemo"
                                       << "Image1" << 1 << none << noFont << noColour
                                       << QRect(twipsToPixels(5280), twipsToPixels(240), 78, 94) << 0;
        QTest::newRow("demo flying") << "LwDemo"
                                     << "Image1" << 2 << none << noFont << noColour
                                     << QRect(twipsToPixels(6480), twipsToPixels(1680), 88, 99) << 0;

        QTest::newRow("roll") << "Form4"
                              << "" << -1 << "Lunaweave　エンディング" << noFont << noColour << twips(0, 0, 8115, 2610)
                              << 0;
        QTest::newRow("roll Image1") << "Form4"
                                     << "Image1" << -1 << none << noFont << noColour << twips(0, 0, 3600, 2620) << 0;
        QTest::newRow("roll Label1") << "Form4"
                                     << "Label1" << -1 << "" << FontSpec{"ＭＳ Ｐゴシック", 12, true, false} << noColour
                                     << twips(3720, 120, 4215, 375) << left;
        QTest::newRow("roll Label2") << "Form4"
                                     << "Label2" << -1 << "" << FontSpec{"ＭＳ Ｐゴシック", 14.25, true, false}
                                     << noColour << twips(3720, 720, 4215, 1095) << left;
        QTest::newRow("roll cache holder 20")
            << "Form4"
            << "Image2" << 20 << none << noFont << noColour << twips(120 + 6 * 840, 3000 + 2 * 600, 735, 495) << 0;

        QTest::newRow("clear") << "Form5"
                               << "" << -1 << "Information" << noFont << noColour << twips(0, 0, 5505, 2205) << 0;
        QTest::newRow("clear Label1") << "Form5"
                                      << "Label1" << -1 << none << FontSpec{"ＭＳ Ｐゴシック", 9.75, false, false}
                                      << noColour << twips(0, 0, 5535, 1575) << left;
        QTest::newRow("clear Command1") << "Form5"
                                        << "Command1" << -1 << "O K" << noFont << noColour
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
        GameWindow& form = windowNamed(window);
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
        QTest::newRow("title background") << "Form3" << QRect(3900, 300, 1400, 250) << QColor(0, 192, 0) << true;
        QTest::newRow("title Luna in red") << "Form3" << QRect(240, 600, 3615, 615) << QColor(255, 0, 0) << false;
        QTest::newRow("title weave in pale cyan")
            << "Form3" << QRect(240, 1320, 5055, 855) << QColor(192, 255, 255) << false;
        QTest::newRow("title series in blue") << "Form3" << QRect(120, 120, 2655, 255) << QColor(0, 0, 255) << false;
        QTest::newRow("demo background") << "LwDemo" << QRect(2400, 0, 2490, 1700) << QColor(Qt::black) << true;
        QTest::newRow("demo first word in red")
            << "LwDemo" << QRect(840, 1800, 1335, 615) << QColor(255, 0, 0) << false;
        QTest::newRow("demo second word in magenta")
            << "LwDemo" << QRect(3000, 1800, 495, 615) << QColor(255, 0, 255) << false;
        QTest::newRow("roll picture") << "Form4" << QRect(0, 0, 3600, 2600) << QColor(10, 120, 200) << true;
    }
    void pixels()
    {
        QFETCH(QString, window);
        QFETCH(QRect, area);
        QFETCH(QColor, colour);
        QFETCH(bool, throughout);
        GameWindow& form = windowNamed(window);
        if (auto* demo = qobject_cast<LwDemo*>(&form)) {
            // The logo as it stands at the end: every word shown, the figures out of the words.
            demo->Timer1.stop();
            demo->Form_Activate();
            for (int tick = 0; tick < 42; ++tick)
                demo->Timer1_Timer();
        }
        if (auto* roll = qobject_cast<Form4*>(&form)) {
            QImage picture(480, 349, QImage::Format_RGB32);
            picture.fill(colour);
            roll->Image2(3)->setPicture(picture);
            roll->SetG(3, QStringLiteral("プリム"), QStringLiteral("ＣＧ：水無月あかり"));
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
