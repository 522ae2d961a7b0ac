// The start-up baseline: a bare Qt program that opens two windows and ends when the first is drawn.
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

class Window : public QWidget {
protected:
    bool event(QEvent* event) override
    {
        const bool handled = QWidget::event(event);
        if (event->type() == QEvent::Paint) {
            std::fflush(stdout);
            std::_Exit(0);
        }
        return handled;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Window first;
    first.resize(326, 157);
    Window second;
    second.resize(478, 389);
    first.show();
    second.show();
    return QApplication::exec();
}
