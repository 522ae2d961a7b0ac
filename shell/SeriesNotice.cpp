// The series notice's setting and text.
#include "SeriesNotice.h"

#include "LineBreak.h"

namespace lw {

bool seriesNoticeWanted(const QString& settingValue) { return settingValue != QStringLiteral("OFF"); }

bool seriesNoticeWillShow(const SettingsStore& settings)
{
    return seriesNoticeWanted(
        settings.GetSetting(QStringLiteral("Kestrune"), QStringLiteral("Solvenne"), QStringLiteral("LWFLock")));
}

QString seriesNoticeText()
{
    return QStringLiteral("このたびはダウンロードありがとうございました。") + kLineBreak +
           QStringLiteral("このゲームはシリーズの3作目です。できれば、前作「Solvenne」をクリアしておいてくださいね。") +
           kLineBreak + QStringLiteral("SolvenneもFilewharfでダウンロードできます。");
}

} // namespace lw
