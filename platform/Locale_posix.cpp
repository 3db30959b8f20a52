#include "platform/Locale.h"

#include <langinfo.h>

namespace platform {

std::string DecimalSeparator() {
  // nl_langinfo reads the current locale without the static buffer that
  // localeconv() shares between threads.
  const char *radix = ::nl_langinfo(RADIXCHAR);
  if (radix == nullptr || *radix == '\0')
    return ".";
  return radix;
}

} // namespace platform
