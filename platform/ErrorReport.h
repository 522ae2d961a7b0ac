// The texts of the reports with which an unhandled error ends the program.
#pragma once

#include <QString>

namespace lw {

// "<file>: ファイルが見つかりません (file not found)" and the like.
QString fileNotFoundMessage(const QString& fileName);
QString invalidPictureMessage(const QString& fileName);

} // namespace lw
