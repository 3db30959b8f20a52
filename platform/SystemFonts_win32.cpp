// The session's font table on Windows: AddFontResourceA / RemoveFontResourceA
// and the WM_FONTCHANGE broadcast, sent with a bounded wait (see the header).
#include "platform/SystemFonts.h"

#include <windows.h>

namespace platform {

void NotifyFontChange() {
  // SMTO_ABORTIFHUNG skips windows whose thread is hung; the timeout bounds
  // the wait for each of the others.
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, kFontChangeNoticeTimeoutMs, &ignored);
}

bool AddSystemFont(const std::string &path) {
  if (path.empty())
    return false;
  const bool added = ::AddFontResourceA(path.c_str()) > 0;
  NotifyFontChange();
  return added;
}

bool RemoveSystemFont(const std::string &path) {
  if (path.empty())
    return false;
  const bool removed = ::RemoveFontResourceA(path.c_str()) != 0;
  NotifyFontChange();
  return removed;
}

} // namespace platform
