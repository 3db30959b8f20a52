// The user's decimal separator from the regional settings (up to three
// characters by the system's own limit).
#include "platform/Locale.h"

#include <windows.h>

namespace platform {

std::string DecimalSeparator() {
  char buffer[8] = {};
  const int n = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, static_cast<int>(sizeof buffer));
  if (n <= 1 || buffer[0] == '\0')
    return ".";
  return std::string(buffer);
}

} // namespace platform
