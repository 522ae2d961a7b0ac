// The speech latency baseline: a bare Qt window that, on every Space, says one numbered line
// through the game's announcer and nothing else. bench/speech_latency.py times it against the game.
#include "Announcer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

class SpeakingWindow : public QWidget {
public:
    SpeakingWindow() { setWindowTitle(QStringLiteral("bare speech")); }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() != Qt::Key_Space)
            return QWidget::keyPressEvent(event);
        speech_.announce(QStringLiteral("基準の台詞、%1行目。").arg(++count_));
    }

private:
    lw::speech::Announcer speech_;
    int count_ = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    SpeakingWindow window;
    window.resize(480, 120);
    window.show();
    return app.exec();
}
