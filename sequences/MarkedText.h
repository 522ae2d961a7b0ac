// Texts written with ruby marks (｜漢字《かんじ》): shown without the marks, kept with them so that
// speech can read them in kana.
#pragma once

#include <QString>

#include <string_view>

class QLabel;

namespace lw {

// The text as shown: the marks removed, nothing else changed.
QString shownText(const QString& marked);
QString shownText(std::u16string_view marked);

// Shows `marked` on the label without its marks, and keeps the marked text with the label.
void setMarkedText(QLabel* label, const QString& marked);

// The label's text with its marks when it was given some, else the text it shows.
QString markedText(const QLabel* label);

} // namespace lw
