// The message window.
#include "MessageWindow.h"

#include "MarkedText.h"

#include "Fonts.h"
#include "GameState.h"
#include "LineBreak.h"
#include "SceneTable.h"

#include <QKeyEvent>

#include <algorithm>
#include <cmath>
#include <string>

namespace lw {
namespace {

bool sceneHasPicture(int scene)
{
    return std::any_of(kSceneTable.begin(), kSceneTable.end(),
                       [scene](const SceneRow& row) { return row.scene == scene; });
}

// Windows virtual-key codes of the keys the game looks at: letters and digits.
int virtualKeyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    return 0;
}

} // namespace

std::optional<std::int16_t> parseScreenJumpAnswer(std::string_view answer)
{
    // Full-width digits, signs, point and blanks read as their ASCII forms.
    const std::string text = QString::fromUtf8(answer.data(), static_cast<qsizetype>(answer.size()))
                                 .normalized(QString::NormalizationForm_KC)
                                 .trimmed()
                                 .toStdString();
    if (text.empty())
        return std::nullopt;
    const std::string_view number(text);

    std::size_t pos = 0;
    bool negative = false;
    if (number[pos] == '+' || number[pos] == '-') {
        negative = number[pos] == '-';
        ++pos;
    }
    double value = 0;
    bool digits = false;
    for (; pos < number.size() && number[pos] >= '0' && number[pos] <= '9'; ++pos) {
        digits = true;
        value = value * 10 + (number[pos] - '0');
        if (value > 1e6) // far outside 16 bits: no need to read on
            return std::nullopt;
    }
    if (pos < number.size() && number[pos] == '.') {
        double scale = 0.1;
        for (++pos; pos < number.size() && number[pos] >= '0' && number[pos] <= '9'; ++pos) {
            digits = true;
            value += (number[pos] - '0') * scale;
            scale /= 10;
        }
    }
    if (!digits || pos != number.size())
        return std::nullopt;
    if (negative)
        value = -value;
    const double rounded = std::nearbyint(value); // the default rounding mode: halves to even
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    const int state = static_cast<int>(rounded);
    if (state <= kLastWatchedScreen && (state < 0 || !sceneHasPicture(sceneOf(state))))
        return std::nullopt;
    return static_cast<std::int16_t>(state);
}

bool isScreenJumpChord(int keyCode, int shift)
{
    if (keyCode < 0 || shift < 0)
        return false;
    const std::string joined = std::to_string(keyCode) + std::to_string(shift);
    return joined == "742";
}

MessageWindow::MessageWindow(const Services& services) : GameWindow(FrameStyle::FixedDialog), services_(services)
{
    setObjectName(QStringLiteral("MessageWindow"));
    setWindowTitle(QStringLiteral("Lunaweave"));
    setClientSizeTwips(2130, 5835);

    lineLabel = new QLabel(this);
    lineLabel->setObjectName(QStringLiteral("lineLabel"));
    lineLabel->setGeometry(0, 0, 145, 385); // 2175 × 5775 twips
    lineLabel->setFont(gameFont(QStringLiteral("MS PGothic"), 11.25));
    lineLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lineLabel->setWordWrap(true);
    lineLabel->setTextFormat(Qt::PlainText);
}

void MessageWindow::setLine(const QString& text)
{
    line_ = text;
    // The label breaks lines at LF; the CR before it is not a glyph.
    QString shown = text;
    shown.remove(QLatin1Char('\r'));
    lineLabel->setText(shown);
}

void MessageWindow::onUnload(UnloadReason reason)
{
    if (reason == UnloadReason::ByPlayer)
        services_.programEnd.end(0);
}

void MessageWindow::keyPressEvent(QKeyEvent* event)
{
    int keyCode = virtualKeyCode(event->key());
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const int shift = ((modifiers & Qt::ShiftModifier) ? 1 : 0) | ((modifiers & Qt::ControlModifier) ? 2 : 0) |
                      ((modifiers & Qt::AltModifier) ? 4 : 0);
    screenJumpKey(keyCode, shift);
    if (keyCode == 0)
        event->accept();
    else
        GameWindow::keyPressEvent(event);
}

void MessageWindow::screenJumpKey(int& KeyCode, int Shift)
{
    if (!isScreenJumpChord(KeyCode, Shift))
        return;
    KeyCode = 0;
    const InputAnswer answer =
        services_.dialogs.InputBox(QStringLiteral("ずるちゃん画面じゃーんぷ！画面IDを入力してね。"),
                                   QStringLiteral("ずるちゃん"), QStringLiteral("10"));
    if (answer.cancelled)
        return;
    if (const auto state = parseScreenJumpAnswer(answer.text.toStdString())) {
        emit screenJumpRequested(*state);
    }
}

QString formatLine(const QString& speaker, const QString& text)
{
    if (speaker.isEmpty())
        return text;
    return QStringLiteral("【") + speaker + QStringLiteral("】") + kLineBreak + QStringLiteral("「") + text +
           QStringLiteral("」");
}

} // namespace lw
