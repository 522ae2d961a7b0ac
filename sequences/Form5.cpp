// The clear screen.
#include "Form5.h"

#include "Fonts.h"
#include "KS_Midi.h"
#include "Runtime.h"
#include "Twips.h"

namespace lw {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");
const QString kHiddenPage = QStringLiteral("https://lunaweave.example.jp/clear/");

} // namespace

Form5::Form5() : GameWindow(FrameStyle::ToolWindow)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Information"));
    setClientSize(5505, 2205);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(gameFont(QStringLiteral("ＭＳ Ｐゴシック"), 9.75));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setWordWrap(true);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setGeometry(0, 0, twipsToPixels(5535), twipsToPixels(1575));

    Command1 = new QPushButton(QStringLiteral("O K"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsToPixels(2160), twipsToPixels(1800), twipsToPixels(1215), twipsToPixels(375));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
}

void Form5::Form_Load()
{
    centreOnScreen();
    Label1->setText(
        QStringLiteral(
            "ここまで遊んでくれてありがとう！ぜひ、Lunaweaveクリアユーザ専用隠しホームページへおこしください。") +
        kLineBreak + kLineBreak + kHiddenPage + kLineBreak + kLineBreak + QStringLiteral("です。お待ちしております。"));
}

void Form5::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    (void)Cancel;
    (void)UnloadMode;
    music().CloseMidi();
    runtime::endProgram(0);
}

void Form5::Command1_Click() { runtime::endProgram(0); }

} // namespace lw
