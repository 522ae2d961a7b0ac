// The title window.
#include "Form3.h"

#include "Fonts.h"
#include "KS_Midi.h"
#include "Runtime.h"
#include "Twips.h"

#include <QMouseEvent>

namespace lw {
namespace {

ClickLabel* makeLabel(QWidget* parent, const char* name, const QString& text, double left, double top, double width,
                      double height, Qt::Alignment alignment)
{
    auto* label = new ClickLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setText(text);
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

Form3::Form3() : GameWindow(FrameStyle::FixedDialog)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Lunaweave　オープニング"));
    setClientSize(5475, 2745);
    setFont(gameFont(QStringLiteral("MS PGothic"), 9));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0, 192, 0));
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);

    Label1 = makeLabel(this, "Label1", QStringLiteral("Luna"), 240, 600, 3615, 615, Qt::AlignLeft);
    Label1->setFont(gameFont(QStringLiteral("ＭＳ ゴシック"), 21.75, false, true));
    setTextColour(Label1, QColor(255, 0, 0));

    Label2 = makeLabel(this, "Label2", QStringLiteral("weave"), 240, 1320, 5055, 855, Qt::AlignRight);
    Label2->setFont(gameFont(QStringLiteral("ＭＳ 明朝"), 27.75, true, true));
    setTextColour(Label2, QColor(192, 255, 255));

    Label3 = makeLabel(this, "Label3", QStringLiteral("Kestrune　2026年　制作・著作"), 360, 2280, 4815, 255,
                       Qt::AlignHCenter);

    Label4 = makeLabel(this, "Label4", QStringLiteral("Solvenne　３"), 120, 120, 2655, 255, Qt::AlignLeft);
    setTextColour(Label4, QColor(0, 0, 255));

    connect(Label1, &ClickLabel::clicked, this, &Form3::Label1_Click);
    connect(Label2, &ClickLabel::clicked, this, &Form3::Label2_Click);
    connect(Label3, &ClickLabel::clicked, this, &Form3::Label3_Click);
    connect(Label4, &ClickLabel::clicked, this, &Form3::Label4_Click);
}

void Form3::Form_Load()
{
    // Played once: the title tune is not the background piece that the music timer repeats.
    music().PlayMidi("Showt.mid");
    centreOnScreen();
}

void Form3::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    (void)Cancel;
    music().CloseMidi();
    if (UnloadMode != kUnloadByProgram)
        runtime::endProgram(0);
}

void Form3::Form_Click() { unloadByProgram(); }
void Form3::Label1_Click() { unloadByProgram(); }
void Form3::Label2_Click() { unloadByProgram(); }
void Form3::Label3_Click() { unloadByProgram(); }
void Form3::Label4_Click() { unloadByProgram(); }

void Form3::mousePressEvent(QMouseEvent* event)
{
    click_.press(event);
    event->accept();
}

void Form3::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (click_.release(event, *this))
        Form_Click();
}

} // namespace lw
