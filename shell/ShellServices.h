// Services the shell takes from outside, replaceable in tests.
#pragma once

#include "Settings.h"

namespace lw {

SettingsStore& settingsStore();
void setSettingsStore(SettingsStore* store); // nullptr restores the real one

// Whether the series notice is shown for this settings value: anything but exactly "OFF".
bool seriesNoticeWanted(const QString& settingValue);
QString seriesNoticeText();

} // namespace lw
