#include "host/vsthost/PluginSetup.h"

namespace vsthost {

void PreparePlugin(host::Plugin &plugin, const Options &options, double rate) {
  plugin.Open();
  plugin.SetSampleRate(static_cast<float>(rate));
  if (options.program >= 0) {
    if (options.program >= plugin.NumPrograms())
      throw host::HostError("program " + std::to_string(options.program) + " out of range (the plug-in has " +
                            std::to_string(plugin.NumPrograms()) + ")");
    plugin.SetProgram(options.program);
  }
  for (const Setting &s : options.settings) {
    if (s.kind == Setting::HostValue) {
      plugin.SetParameter(s.index, s.value);
    } else if (!plugin.SetParameterFromText(s.index, s.text)) {
      throw host::HostError("the plug-in refused text '" + s.text + "' for parameter " + std::to_string(s.index));
    }
  }
}

std::string DescribeFlags(vst2::VstInt32 flags) {
  static const struct {
    vst2::VstInt32 bit;
    const char *name;
  } kNames[] = {
      {vst2::effFlagsHasEditor, "has editor"},
      {vst2::effFlagsHasClip, "has clip"},
      {vst2::effFlagsHasVu, "has VU"},
      {vst2::effFlagsCanMono, "can mono"},
      {vst2::effFlagsCanReplacing, "can replacing"},
      {vst2::effFlagsProgramChunks, "program chunks"},
      {vst2::effFlagsIsSynth, "is synth"},
      {vst2::effFlagsNoSoundInStop, "no sound in stop"},
      {vst2::effFlagsExtIsAsync, "ext is async"},
      {vst2::effFlagsExtHasBuffer, "ext has buffer"},
      {vst2::effFlagsCanDoubleReplacing, "can double replacing"},
  };
  std::string text;
  vst2::VstInt32 known = 0;
  for (const auto &n : kNames) {
    known |= n.bit;
    if (flags & n.bit) text += (text.empty() ? "" : ", ") + std::string(n.name);
  }
  if (flags & ~known) text += (text.empty() ? "" : ", ") + std::string("unknown bits");
  return text.empty() ? "none" : text;
}

const char *CategoryName(vst2::VstInt32 category) {
  static const char *const kNames[] = {"unknown",  "effect",  "synth",       "analysis",        "mastering",
                                       "spatializer", "room fx", "surround fx", "restoration", "offline process",
                                       "shell",    "generator"};
  if (category < 0 || category >= static_cast<vst2::VstInt32>(std::size(kNames))) return "out of range";
  return kNames[category];
}

} // namespace vsthost
