// The series notice: the message box before the opening demo, unless the player's settings turn
// it off.
#pragma once

#include "Settings.h"

namespace lw {

// Whether the series notice is shown for this settings value: anything but exactly "OFF".
bool seriesNoticeWanted(const QString& settingValue);
// Whether the notice is shown this run, from the setting in `settings`. Also asked before the
// application object exists, to load the notice's fonts early.
bool seriesNoticeWillShow(const SettingsStore& settings);
QString seriesNoticeText();

} // namespace lw
