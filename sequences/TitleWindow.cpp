// The title window.
#include "TitleWindow.h"

#include "Fonts.h"
#include "MarkedText.h"
#include "Twips.h"

#include <QMouseEvent>

namespace lw {
namespace {

// `text` carries ruby marks for speech; the label shows it without.
ClickLabel* makeLabel(QWidget* parent, const char* name, const QString& text, double left, double top, double width,
                      double height, Qt::Alignment alignment)
{
    auto* label = new ClickLabel(parent);
    label->setObjectName(QLatin1String(name));
    setMarkedText(label, text);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
    // No fill: the green shows through around the text.
    label->setAutoFillBackground(false);
    return label;
}

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace

TitleWindow::TitleWindow(const Services& services) : GameWindow(FrameStyle::FixedDialog), services_(services)
{
    setObjectName(QStringLiteral("TitleWindow"));
    setWindowTitle(QStringLiteral("Lunaweave　オープニング"));
    setClientSizeTwips(5475, 2745);
    setFont(gameFont(QStringLiteral("MS PGothic"), 9));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0, 192, 0));
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);

    firstWord = makeLabel(this, "firstWord", QStringLiteral("｜Luna《ルナ》"), 240, 600, 3615, 615, Qt::AlignLeft);
    firstWord->setFont(gameFont(QStringLiteral("ＭＳ ゴシック"), 21.75, false, true));
    setTextColour(firstWord, QColor(255, 0, 0));

    secondWord =
        makeLabel(this, "secondWord", QStringLiteral("｜weave《ウィーブ》"), 240, 1320, 5055, 855, Qt::AlignRight);
    secondWord->setFont(gameFont(QStringLiteral("ＭＳ 明朝"), 27.75, true, true));
    setTextColour(secondWord, QColor(192, 255, 255));

    makersLine = makeLabel(
        this, "makersLine",
        QStringLiteral(
            "｜Kestrune《ケストルーン》　｜2026年《にせんにじゅうろくねん》　制作《せいさく》・著作《ちょさく》"),
        360, 2280, 4815, 255, Qt::AlignHCenter);

    seriesLine = makeLabel(this, "seriesLine", QStringLiteral("｜Solvenne《ソルベンヌ》　｜３《さん》"), 120, 120, 2655,
                           255, Qt::AlignLeft);
    setTextColour(seriesLine, QColor(0, 0, 255));

    connect(firstWord, &ClickLabel::clicked, this, &TitleWindow::startGame);
    connect(secondWord, &ClickLabel::clicked, this, &TitleWindow::startGame);
    connect(makersLine, &ClickLabel::clicked, this, &TitleWindow::startGame);
    connect(seriesLine, &ClickLabel::clicked, this, &TitleWindow::startGame);
}

void TitleWindow::onLoad()
{
    // Played once: the title tune is not the background piece that the music timer repeats.
    services_.music.play("Showt.mid");
    centreOnScreen();
}

void TitleWindow::onUnload(UnloadReason reason)
{
    services_.music.close();
    if (reason == UnloadReason::ByPlayer)
        services_.programEnd.end(0);
}

void TitleWindow::startGame()
{
    unload();
    emit finished();
}

void TitleWindow::mousePressEvent(QMouseEvent* event)
{
    click_.press(event);
    event->accept();
}

void TitleWindow::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (click_.release(event, *this))
        startGame();
}

// The title's name is one word in two labels.
QString TitleWindow::markedText() const
{
    return lw::markedText(seriesLine) + QLatin1Char(' ') + lw::markedText(firstWord) + lw::markedText(secondWord) +
           QLatin1Char(' ') + lw::markedText(makersLine);
}

} // namespace lw
