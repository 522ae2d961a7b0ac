// The runtime error report.
#include "ErrorReport.h"

#include "Runtime.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace lw {
namespace {

void reportAndExit(const QString& message)
{
    std::fprintf(stderr, "Lunaweave: %s\n", message.toUtf8().constData());
    std::fflush(stderr);
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Lunaweave"),
                        QStringLiteral("実行時エラーが発生したため、ゲームを終了します。\n\n") + message,
                        QMessageBox::Ok);
        box.exec();
    }
    runtime::endProgram(1);
}

FatalHandler& handler()
{
    static FatalHandler current = reportAndExit;
    return current;
}

} // namespace

void fatalError(const QString& message) { handler()(message); }

FatalHandler setFatalHandler(FatalHandler replacement)
{
    FatalHandler previous = std::move(handler());
    handler() = replacement ? std::move(replacement) : FatalHandler(reportAndExit);
    return previous;
}

QString fileNotFoundMessage(const QString& fileName)
{
    return QStringLiteral("ファイルが見つかりません (file not found): ") + fileName;
}

QString invalidPictureMessage(const QString& fileName)
{
    return QStringLiteral("画像を読み込めません (invalid picture): ") + fileName;
}

} // namespace lw
