// The settings store in use.
#include "ShellServices.h"

namespace lw {
namespace {
SettingsStore* current = nullptr;
}

SettingsStore& settingsStore()
{
    static QtSettingsStore real;
    return current ? *current : real;
}

void setSettingsStore(SettingsStore* store) { current = store; }

} // namespace lw
