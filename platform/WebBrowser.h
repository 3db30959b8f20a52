#pragma once
// Opening a web address in the user's browser, the way the desktop does it.
//
// The request goes through an "opener". The system opener starts the desktop's
// handler (xdg-open on Linux) as a separate process, without a shell, and never
// waits for it: the call returns as soon as the process is started. Tests and
// embedders may install an opener of their own, so that no browser starts.
#include <functional>
#include <string_view>
#include <utility>

namespace platform {

// Receives a checked address; returns whether the request could be handed on.
using UrlOpener = std::function<bool(std::string_view url)>;

// Hands `url` to the current opener. Only http:// and https:// addresses of at
// most 2048 printable ASCII characters without spaces are passed on; anything
// else is refused (false) without reaching the opener, so no file, program or
// command-line option can be smuggled in through the address.
bool OpenWebAddress(std::string_view url);

// Installs `opener` for every later OpenWebAddress in the process and returns
// the previous one; an empty function restores the system opener. Thread-safe.
UrlOpener SetUrlOpener(UrlOpener opener);

// The system opener itself (what OpenWebAddress uses by default).
bool SystemOpenWebAddress(std::string_view url);

// Whether `url` passes the checks above.
bool IsOpenableWebAddress(std::string_view url);

// RAII helper: installs an opener for the lifetime of the object.
class ScopedUrlOpener {
public:
  explicit ScopedUrlOpener(UrlOpener opener) : previous_(SetUrlOpener(std::move(opener))) {}
  ~ScopedUrlOpener() { SetUrlOpener(std::move(previous_)); }
  ScopedUrlOpener(const ScopedUrlOpener &) = delete;
  ScopedUrlOpener &operator=(const ScopedUrlOpener &) = delete;

private:
  UrlOpener previous_;
};

} // namespace platform
