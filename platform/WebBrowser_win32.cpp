// The system opener on Windows: the shell's "open" verb on the address, with
// no parameters, no working folder, shown normally and without an owner
// window (the plug-in has no window of its own to own the browser). The shell
// returns as soon as the request is handed on.
#include "platform/WebBrowser.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace platform {

bool SystemOpenWebAddress(std::string_view url) {
  if (!IsOpenableWebAddress(url))
    return false;
  const std::string address(url);
  const HINSTANCE result = ::ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  // Values above 32 mean success; anything else is an error code.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace platform
