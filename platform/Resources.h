#pragma once
// Embedded resources of the running plug-in: the pictures and the font it
// carries inside its own file. A lookup never fails loudly: a missing resource
// (or a type or name that is empty or too long to be one) gives nothing.
// The bytes stay valid for the life of the loaded library.
//
// On Windows <windows.h> defines FindResource as a macro; the win32
// implementation file undefines it after including the system header.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type, std::string_view name);
// A resource with a numeric identifier, such as FindResource("TTFFONT", 30).
std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type, int id);

} // namespace platform
