// The start-up baselines: a bare Qt program that shows one picture window and one label of
// Japanese text, or (with --message-box) Qt's own information message box with the text of the
// game's series notice; it runs until it is ended (bench_map_observer times its first window).
// With --zoom, the baseline of zoom and fullscreen: Ctrl+= and Ctrl+- resize both windows in steps
// of 50 % from 100 to 300 % (the picture scaled to fit), F11 toggles the picture window's fullscreen.
// Run from the game's data directory: the picture is one of the game's scene pictures.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QShortcut>

#include <algorithm>
#include <cstring>
#include <functional>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--message-box") == 0) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Lunaweave"),
                        QStringLiteral("このたびはダウンロードありがとうございました。\r\n"
                                       "このゲームはシリーズの3作目です。できれば、前作「Solvenne」を"
                                       "クリアしておいてくださいね。\r\nSolvenneもFilewharfでダウンロードできます。"),
                        QMessageBox::Ok);
        return box.exec();
    }
    QLabel picture;
    picture.setPixmap(QPixmap::fromImage(QImage(QStringLiteral("渋谷1.LWV"), "PNG")));
    QLabel text(QStringLiteral("このたびはダウンロードありがとうございました。"));
    if (argc > 1 && std::strcmp(argv[1], "--zoom") == 0) {
        picture.setWindowTitle(QStringLiteral("bare picture"));
        text.setWindowTitle(QStringLiteral("bare text"));
        picture.setScaledContents(true);
        const QSize pictureSize = picture.sizeHint(), textSize = text.sizeHint();
        const QFont font = text.font();
        double factor = 1;
        const auto zoom = [&](double step) {
            factor = std::clamp(factor + step, 1.0, 3.0);
            picture.resize(pictureSize * factor);
            QFont scaled = font;
            scaled.setPointSizeF(font.pointSizeF() * factor);
            text.setFont(scaled);
            text.resize(textSize * factor);
        };
        const auto key = [&](const char* sequence, const std::function<void()>& action) {
            QObject::connect(new QShortcut(QKeySequence(QString::fromLatin1(sequence)), &picture, nullptr, nullptr,
                                           Qt::ApplicationShortcut),
                             &QShortcut::activated, action);
        };
        key("Ctrl+=", [&] { zoom(+0.5); });
        key("Ctrl+-", [&] { zoom(-0.5); });
        key("F11", [&] { picture.isFullScreen() ? picture.showNormal() : picture.showFullScreen(); });
        zoom(0);
    }
    picture.show();
    text.show();
    return QApplication::exec();
}
