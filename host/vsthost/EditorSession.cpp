#include "host/vsthost/EditorSession.h"

#include "host/vsthost/PngFile.h"

namespace vsthost {

EditorSession::EditorSession(host::Plugin &plugin) : plugin_(plugin) {
  if (!plugin.HasEditor()) throw host::HostError(plugin.Path() + ": the plug-in has no editor");
  if (!plugin.SelectHeadless())
    throw host::HostError(plugin.Path() + ": the plug-in does not offer the headless editor");
  if (!plugin.OpenEditor(nullptr)) throw host::HostError(plugin.Path() + ": the editor failed to open");
}

EditorSession::~EditorSession() {
  try {
    if (plugin_.EditorIsOpen() && !plugin_.IsClosed()) plugin_.CloseEditor();
  } catch (...) {
  }
}

void EditorSession::Tick(int count) {
  for (int i = 0; i < count; ++i) {
    plugin_.AdvanceClock(kTickMilliseconds);
    plugin_.EditorIdle();
  }
}

host::EditorImage EditorSession::Snapshot(const std::string &pngPath) {
  plugin_.EditorIdle();
  auto image = plugin_.RenderEditor();
  if (!image || image->width <= 0 || image->height <= 0)
    throw host::HostError(plugin_.Path() + ": the editor could not be rendered");
  WritePng(pngPath, *image);
  return *image;
}

} // namespace vsthost
