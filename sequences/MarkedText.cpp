#include "MarkedText.h"

#include "Ruby.h"

#include <QLabel>
#include <QVariant>

namespace lw {
namespace {

constexpr const char* kMarkedProperty = "markedText";

} // namespace

QString shownText(const QString& marked) { return QString::fromStdString(story::displayText(marked.toStdString())); }

QString shownText(std::u16string_view marked)
{
    return shownText(QString::fromUtf16(marked.data(), static_cast<qsizetype>(marked.size())));
}

void setMarkedText(QLabel* label, const QString& marked)
{
    label->setProperty(kMarkedProperty, marked);
    label->setText(shownText(marked));
}

QString markedText(const QLabel* label)
{
    const QString marked = label->property(kMarkedProperty).toString();
    // A text set later by other means wins over marks kept for an older one.
    return !marked.isEmpty() && shownText(marked) == label->text() ? marked : label->text();
}

} // namespace lw
