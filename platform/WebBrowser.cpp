#include "platform/WebBrowser.h"

#include <mutex>

namespace platform {
namespace {

constexpr std::size_t kMaxUrlLength = 2048;

std::mutex &OpenerMutex() {
  static std::mutex mutex;
  return mutex;
}

UrlOpener &CurrentOpener() {
  static UrlOpener opener;
  return opener;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i])
      return false;
  }
  return true;
}

} // namespace

bool IsOpenableWebAddress(std::string_view url) {
  if (url.size() > kMaxUrlLength)
    return false;
  std::size_t schemeLength = 0;
  if (StartsWithNoCase(url, "https://"))
    schemeLength = 8;
  else if (StartsWithNoCase(url, "http://"))
    schemeLength = 7;
  else
    return false;
  if (url.size() == schemeLength)
    return false; // no host
  for (char c : url) {
    if (c <= ' ' || c >= 0x7F) // controls, space, DEL and anything outside ASCII
      return false;
  }
  return true;
}

UrlOpener SetUrlOpener(UrlOpener opener) {
  std::lock_guard<std::mutex> lock(OpenerMutex());
  UrlOpener previous = std::move(CurrentOpener());
  CurrentOpener() = std::move(opener);
  return previous;
}

bool OpenWebAddress(std::string_view url) {
  if (!IsOpenableWebAddress(url))
    return false;
  UrlOpener opener;
  {
    // Copy under the lock and call outside it, so an opener may itself install
    // another one without deadlocking.
    std::lock_guard<std::mutex> lock(OpenerMutex());
    opener = CurrentOpener();
  }
  if (opener)
    return opener(url);
  return SystemOpenWebAddress(url);
}

} // namespace platform
