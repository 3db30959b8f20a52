#pragma once
// The system's own font table, where there is one that other programs read
// (Windows): a font file added here is usable by family name by every window
// of the session until it is removed, and the top-level windows are told that
// the table changed. The toolkit draws its text itself and reads its own font
// registry (gui/FontRegistry.h); this table is what the rest of the system sees.
//
// Where the system keeps no such table for us (Linux), both calls do nothing
// and answer false.
//
// The change notice is a broadcast to every top-level window of the session.
// It is sent with a bounded wait: a window that does not answer within
// kFontChangeNoticeTimeoutMs, or whose thread is already hung, is skipped.
// An unbounded send (what a plain broadcast does) would let one hung window in
// any program freeze the host while it loads or unloads the plug-in, and the
// send runs while the system's loader holds its lock.
#include <string>

namespace platform {

inline constexpr unsigned kFontChangeNoticeTimeoutMs = 200;

// Adds the font file at `path` (AddFontResourceA), then sends the notice.
// Answers whether the system added at least one font from the file.
bool AddSystemFont(const std::string &path);

// Removes the font file added from `path` (RemoveFontResourceA), then sends
// the notice. Answers whether the system removed it.
bool RemoveSystemFont(const std::string &path);

// The notice alone.
void NotifyFontChange();

} // namespace platform
