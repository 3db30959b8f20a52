#pragma once
// A plug-in editor opened on the headless backend for the lifetime of the
// object: selected with kHeadlessSelect, opened with a null parent, closed on
// destruction. Every way the editor can be missing becomes one HostError line.
#include <string>

#include "host/HostLibrary.h"

namespace vsthost {

inline constexpr int kTickMilliseconds = 40;

class EditorSession {
public:
  explicit EditorSession(host::Plugin &plugin);
  ~EditorSession();
  EditorSession(const EditorSession &) = delete;
  EditorSession &operator=(const EditorSession &) = delete;

  // Each tick advances the backend's clock by 40 ms and serves an idle call.
  void Tick(int count = 1);
  // Idles once, renders and writes `pngPath`; returns the image.
  host::EditorImage Snapshot(const std::string &pngPath);

private:
  host::Plugin &plugin_;
};

} // namespace vsthost
