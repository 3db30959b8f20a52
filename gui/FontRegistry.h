#pragma once
// The process-wide font registry. A font file is registered and withdrawn by
// its path; every registration of a path must be matched by one withdrawal, and
// the font stays available until the last one (reference counted per path).
// Fonts are looked up by family name, without regard to case; when several
// registered files name the same family the most recently registered wins.
//
// A family that is not registered resolves to the substitute: the DejaVu Sans
// face built into the toolkit (so that text is always drawn, and nothing is
// read from files beside the plug-in). Faces are shared: a label keeps drawing
// with its face even if the file is withdrawn meanwhile.
//
// All operations are thread-safe (one mutex; none of them runs on an audio
// thread).
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "gui/FontFace.h"

namespace gui {

class TFontRegistry {
public:
  static TFontRegistry &Instance();

  // Register the font file at `path` (compared as given, after lexical
  // normalisation). A path already registered only gains a reference. False
  // when the file cannot be read, is larger than kMaxFontFileBytes or is not a
  // font.
  bool Register(const std::string &path);
  // Drop one reference; the font disappears with the last. False when the path
  // is not registered.
  bool Unregister(const std::string &path);

  // The registered face of that family, or null.
  std::shared_ptr<const TFontFace> Find(std::string_view family) const;
  // Find, or else the substitute; never null.
  std::shared_ptr<const TFontFace> Resolve(std::string_view family) const;
  // The built-in substitute face.
  static std::shared_ptr<const TFontFace> Substitute();

  // Number of references held for `path` (0 when not registered).
  int ReferenceCount(const std::string &path) const;

  static constexpr std::size_t kMaxFontFileBytes = 32u << 20;

private:
  struct Entry {
    std::string path;
    int references = 0;
    std::shared_ptr<const TFontFace> face;
  };
  TFontRegistry() = default;
  mutable std::mutex mutex_;
  std::vector<Entry> entries_; // in order of first registration
};

} // namespace gui
