#include "gui/FontRegistry.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <span>

namespace gui {

// The built-in substitute's bytes (SubstituteFont.cpp).
std::span<const std::uint8_t> SubstituteFontBytes();

namespace {

bool SameFamily(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string NormalPath(const std::string &path) {
  return std::filesystem::path(path).lexically_normal().generic_string();
}

bool ReadFile(const std::string &path, std::vector<std::uint8_t> &out) {
  std::ifstream f(path, std::ios::binary | std::ios::ate);
  if (!f) return false;
  const std::streamoff size = f.tellg();
  if (size <= 0 || static_cast<std::uintmax_t>(size) > TFontRegistry::kMaxFontFileBytes) return false;
  out.resize(static_cast<std::size_t>(size));
  f.seekg(0);
  return static_cast<bool>(f.read(reinterpret_cast<char *>(out.data()), size));
}

} // namespace

TFontRegistry &TFontRegistry::Instance() {
  static TFontRegistry registry;
  return registry;
}

bool TFontRegistry::Register(const std::string &path) {
  if (path.empty()) return false;
  const std::string key = NormalPath(path);
  {
    std::lock_guard lock(mutex_);
    for (Entry &e : entries_)
      if (e.path == key) {
        ++e.references;
        return true;
      }
  }
  // Read and parse outside the lock; a concurrent registration of the same
  // path is folded in below.
  std::vector<std::uint8_t> bytes;
  if (!ReadFile(key, bytes)) return false;
  std::shared_ptr<const TFontFace> face = TFontFace::FromBytes(std::move(bytes));
  if (!face) return false;
  std::lock_guard lock(mutex_);
  for (Entry &e : entries_)
    if (e.path == key) {
      ++e.references;
      return true;
    }
  entries_.push_back({key, 1, std::move(face)});
  return true;
}

bool TFontRegistry::Unregister(const std::string &path) {
  const std::string key = NormalPath(path);
  std::lock_guard lock(mutex_);
  const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry &e) { return e.path == key; });
  if (it == entries_.end()) return false;
  if (--it->references == 0) entries_.erase(it);
  return true;
}

std::shared_ptr<const TFontFace> TFontRegistry::Find(std::string_view family) const {
  if (family.empty()) return nullptr;
  std::lock_guard lock(mutex_);
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (SameFamily(it->face->Family(), family)) return it->face;
  return nullptr;
}

std::shared_ptr<const TFontFace> TFontRegistry::Resolve(std::string_view family) const {
  if (auto face = Find(family)) return face;
  return Substitute();
}

std::shared_ptr<const TFontFace> TFontRegistry::Substitute() {
  static const std::shared_ptr<const TFontFace> face = [] {
    const std::span<const std::uint8_t> bytes = SubstituteFontBytes();
    return TFontFace::FromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }();
  return face;
}

int TFontRegistry::ReferenceCount(const std::string &path) const {
  const std::string key = NormalPath(path);
  std::lock_guard lock(mutex_);
  for (const Entry &e : entries_)
    if (e.path == key) return e.references;
  return 0;
}

} // namespace gui
