// vsthost snapshot: open a plug-in's editor on the headless backend, apply
// gestures, render it and write a PNG.
#include <ostream>

#include "host/vsthost/Commands.h"
#include "host/vsthost/EditorSession.h"
#include "host/vsthost/PluginSetup.h"

namespace vsthost {

int RunSnapshot(const Options &options, std::ostream &out) {
  auto plugin = host::Plugin::Load(options.plugin);
  PreparePlugin(*plugin, options, options.rate);
  EditorSession editor(*plugin); // throws with a clear line when there is none
  for (const Gesture &g : options.gestures) {
    switch (g.kind) {
    case Gesture::Click:
      plugin->Click(g.x1, g.y1);
      break;
    case Gesture::Drag:
      plugin->Drag(g.x1, g.y1, g.x2, g.y2);
      break;
    case Gesture::Ticks:
      editor.Tick(g.ticks);
      break;
    }
  }
  const host::EditorImage image = editor.Snapshot(options.output);
  out << "wrote " << options.output << ": " << image.width << " x " << image.height << '\n';
  return 0;
}

} // namespace vsthost
