// The start-up baseline: a bare Qt program that shows one picture window and one label of
// Japanese text, and runs until it is ended (bench_map_observer times its first window).
// Run from the game's data directory: the picture is one of the game's scene pictures.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel picture;
    picture.setPixmap(QPixmap::fromImage(QImage(QStringLiteral("渋谷1.LWV"), "PNG")));
    QLabel text(QStringLiteral("このたびはダウンロードありがとうございました。"));
    picture.show();
    text.show();
    return QApplication::exec();
}
