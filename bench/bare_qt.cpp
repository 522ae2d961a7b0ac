// The start-up baselines: a bare Qt program that shows one picture window and one label of
// Japanese text, or (with --message-box) Qt's own information message box with the text of the
// game's series notice; it runs until it is ended (bench_map_observer times its first window).
// Run from the game's data directory: the picture is one of the game's scene pictures.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>

#include <cstring>

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
    picture.show();
    text.show();
    return QApplication::exec();
}
