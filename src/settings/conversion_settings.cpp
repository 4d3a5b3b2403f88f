#include "settings/conversion_settings.h"

#include "platform/clock.h"

void resetSettings(ConversionSettings& settings, bool forConsole) {
  settings = ConversionSettings{};
  settings.keepAspectRatio = forConsole ? 0 : 1;
  settings.customTimestamp = static_cast<int32_t>(localNowSeconds());
}
