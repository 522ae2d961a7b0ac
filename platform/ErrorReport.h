// The report with which an unhandled error ends the program.
#pragma once

#include <QString>

#include <functional>

namespace lw {

// Shows a modal error box with `message`, writes the same text to standard error, and ends
// the program with status 1. Tests install a handler of their own (which may throw).
void fatalError(const QString& message);

using FatalHandler = std::function<void(const QString& message)>;
FatalHandler setFatalHandler(FatalHandler handler); // nullptr restores the real one

// "<file>: ファイルが見つかりません (file not found)" and the like.
QString fileNotFoundMessage(const QString& fileName);
QString invalidPictureMessage(const QString& fileName);

} // namespace lw
