#pragma once
// Safe exchange of texts with the host's buffers. Every text written out is
// cut to the buffer size the request implies (terminator included, never cut
// inside a UTF-8 sequence); every text read in stops at its terminator or at a
// limit, and a null pointer is never dereferenced.
#include <cstddef>
#include <string>
#include <string_view>

namespace vst2 {

inline constexpr std::size_t kHostTextReadLimit = 256;

// Copies `text` into `buffer` of `capacity` bytes, NUL included. Returns false
// (and writes nothing) for a null buffer or a zero capacity.
bool CopyToHost(char *buffer, std::size_t capacity, std::string_view text);

// Reads a host text up to its terminator, at most `limit` bytes. Returns false
// for a null pointer.
bool ReadFromHost(const char *text, std::string &result, std::size_t limit = kHostTextReadLimit);

// `text` cut to at most `maxChars` characters (UTF-8 sequences kept whole).
std::string Truncated(std::string_view text, std::size_t maxChars);

} // namespace vst2
