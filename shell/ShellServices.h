// Services the shell takes from outside, replaceable in tests.
#pragma once

#include "Settings.h"

namespace lw {

SettingsStore& settingsStore();
void setSettingsStore(SettingsStore* store); // nullptr restores the real one

// Whether the series notice is shown for this settings value: anything but exactly "OFF".
bool seriesNoticeWanted(const QString& settingValue);
// Whether the notice is shown this run, from the setting in the store in use. Also asked before
// the application object exists, to load the notice's fonts early.
bool seriesNoticeWillShow();
QString seriesNoticeText();

} // namespace lw
