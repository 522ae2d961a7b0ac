// The clear screen.
#include "ClearWindow.h"

#include "Fonts.h"
#include "LineBreak.h"
#include "MarkedText.h"
#include "Twips.h"

namespace lw {
namespace {

const QString kHiddenPage = QStringLiteral("https://lunaweave.example.jp/clear/");
// The address as it is read out.
const QString kHiddenPageReading = QStringLiteral(
    "エイチティーティーピーエス　コロン　スラッシュ　スラッシュ　ルナウィーブ　ドット　イグザンプル　ドット　"
    "ジェーピー　スラッシュ　クリア　スラッシュ");

} // namespace

ClearWindow::ClearWindow(const Services& services) : GameWindow(FrameStyle::ToolWindow), services_(services)
{
    setObjectName(QStringLiteral("ClearWindow"));
    setWindowTitle(QStringLiteral("Information"));
    setClientSizeTwips(5505, 2205);

    messageLabel = new QLabel(this);
    messageLabel->setObjectName(QStringLiteral("messageLabel"));
    messageLabel->setFont(gameFont(QStringLiteral("ＭＳ Ｐゴシック"), 9.75));
    messageLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    messageLabel->setWordWrap(true);
    messageLabel->setTextFormat(Qt::PlainText);
    messageLabel->setGeometry(0, 0, twipsToPixels(5535), twipsToPixels(1575));

    okButton = new QPushButton(QStringLiteral("O K"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setGeometry(twipsToPixels(2160), twipsToPixels(1800), twipsToPixels(1215), twipsToPixels(375));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &ClearWindow::okClicked);
}

void ClearWindow::onLoad()
{
    centreOnScreen();
    setMarkedText(messageLabel,
                  QStringLiteral("ここまで遊《あそ》んでくれてありがとう！ぜひ、｜Lunaweave《ルナウィーブ》"
                                 "クリアユーザ専用《せんよう》隠《かく》しホームページ｜へ《え》おこしください。") +
                      kLineBreak + kLineBreak + QStringLiteral("｜") + kHiddenPage + QStringLiteral("《") +
                      kHiddenPageReading + QStringLiteral("》") + kLineBreak + kLineBreak +
                      QStringLiteral("です。お待《ま》ちしております。"));
}

void ClearWindow::onUnload(UnloadReason reason)
{
    (void)reason;
    services_.music.close();
    services_.programEnd.end(0);
}

void ClearWindow::okClicked() { services_.programEnd.end(0); }

QString ClearWindow::markedText() const { return lw::markedText(messageLabel); }

} // namespace lw
