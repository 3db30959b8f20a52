// Resources of the running plug-in on Windows: the resource section of the
// DLL this code is linked into (not the host's executable), through
// FindResourceA / LoadResource / LockResource / SizeofResource.
//
// Types and names follow the Win32 conventions that the resource table uses
// on other systems: "#n" is the numeric identifier n (FindResourceA reads it
// so itself), and the type "RCDATA" is the predefined RT_RCDATA that a
// resource script's RCDATA statement produces.
#include "platform/Resources.h"

#include <windows.h>
#undef FindResource

#include <cstring>
#include <string>

namespace platform {
namespace {

// Win32 resource names are at most 256 characters by convention; longer or
// empty texts, and texts with a NUL inside, are no resource names.
constexpr std::size_t kMaxNameLength = 256;

bool IsUsableName(std::string_view text) {
  return !text.empty() && text.size() <= kMaxNameLength && text.find('\0') == std::string_view::npos;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y)
      return false;
  }
  return true;
}

// The module this function lives in: the plug-in DLL (or the test program
// that links the layer statically).
HMODULE OwnModule() {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&OwnModule), &module))
    return nullptr;
  return module;
}

std::optional<std::span<const std::uint8_t>> Lookup(std::string_view type, std::string_view name) {
  if (!IsUsableName(type) || !IsUsableName(name))
    return std::nullopt;
  HMODULE module = OwnModule();
  if (module == nullptr)
    return std::nullopt;
  const std::string typeText(type), nameText(name);
  LPCSTR typeArg = EqualsNoCase(type, "RCDATA") ? MAKEINTRESOURCEA(10) : typeText.c_str(); // RT_RCDATA
  HRSRC info = ::FindResourceA(module, nameText.c_str(), typeArg);
  if (info == nullptr)
    return std::nullopt;
  HGLOBAL loaded = ::LoadResource(module, info);
  if (loaded == nullptr)
    return std::nullopt;
  const void *bytes = ::LockResource(loaded);
  const DWORD size = ::SizeofResource(module, info);
  if (bytes == nullptr)
    return std::nullopt;
  // Resource memory is part of the mapped image: valid while the DLL is loaded.
  return std::span<const std::uint8_t>(static_cast<const std::uint8_t *>(bytes), size);
}

} // namespace

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type, std::string_view name) {
  return Lookup(type, name);
}

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type, int id) {
  // Numeric identifiers are 16-bit in a resource section.
  if (id < 0 || id > 0xFFFF)
    return std::nullopt;
  return Lookup(type, "#" + std::to_string(id));
}

} // namespace platform
