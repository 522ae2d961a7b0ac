// Qt message box and input box.
#include "Dialogs.h"

#include "Fonts.h"

#include <QInputDialog>
#include <QMessageBox>

namespace lw {
void QtDialogs::MsgBox(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok);
    box.setFont(gameFont(QStringLiteral("MS PGothic"), 9.75));
    box.exec();
}

InputAnswer QtDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer)
{
    QInputDialog box;
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(defaultAnswer);
    box.setFont(gameFont(QStringLiteral("MS PGothic"), 9.75));
    const bool ok = box.exec() == QDialog::Accepted;
    return {ok ? box.textValue() : QString(), !ok};
}

} // namespace lw
