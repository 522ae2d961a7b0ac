// The texts of the runtime error reports.
#include "ErrorReport.h"

namespace lw {

QString fileNotFoundMessage(const QString& fileName)
{
    return QStringLiteral("ファイルが見つかりません (file not found): ") + fileName;
}

QString invalidPictureMessage(const QString& fileName)
{
    return QStringLiteral("画像を読み込めません (invalid picture): ") + fileName;
}

} // namespace lw
