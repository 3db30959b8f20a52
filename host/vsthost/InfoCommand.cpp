// vsthost info: everything a host can learn about a plug-in without audio.
#include <cstdio>
#include <iomanip>
#include <ostream>

#include "host/vsthost/Commands.h"
#include "host/vsthost/PluginSetup.h"

namespace vsthost {

namespace {

std::string Hex32(vst2::VstInt32 v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(v));
  return buf;
}

const char *CanDoWord(vst2::VstIntPtr answer) {
  if (answer > 0) return "yes";
  if (answer < 0) return "no";
  return "don't know";
}

void PrintPins(std::ostream &out, host::Plugin &plugin, bool inputs) {
  const int n = inputs ? plugin.NumInputs() : plugin.NumOutputs();
  for (int i = 0; i < n; ++i) {
    auto pin = inputs ? plugin.InputProperties(i) : plugin.OutputProperties(i);
    out << "  " << (inputs ? "in  " : "out ") << i << ": ";
    if (!pin) {
      out << "(no pin properties)\n";
      continue;
    }
    out << '"' << pin->label << "\" short \"" << pin->shortLabel << "\" flags " << pin->flags
        << ((pin->flags & vst2::kVstPinIsActive) ? " active" : "")
        << ((pin->flags & vst2::kVstPinIsStereo) ? " stereo" : "") << '\n';
  }
}

} // namespace

int RunInfo(const Options &options, std::ostream &out) {
  auto plugin = host::Plugin::Load(options.plugin);
  plugin->Open();
  const vst2::AEffect &e = plugin->Effect();
  out << "file          " << plugin->Path() << '\n'
      << "unique ID     '" << host::FourCCText(e.uniqueID) << "' (" << Hex32(e.uniqueID) << ")\n"
      << "version       " << e.version << '\n'
      << "flags         " << Hex32(e.flags) << ": " << DescribeFlags(e.flags) << '\n';
  const auto category = plugin->Category();
  out << "category      " << category << " (" << CategoryName(category) << ")\n"
      << "channels      " << e.numInputs << " in, " << e.numOutputs << " out\n"
      << "initial delay " << e.initialDelay << '\n'
      << "VST version   " << plugin->VstVersion() << '\n'
      << "effect name   \"" << plugin->EffectName() << "\"\n"
      << "vendor        \"" << plugin->VendorString() << "\"\n"
      << "product       \"" << plugin->ProductString() << "\"\n"
      << "vendor ver.   " << plugin->VendorVersion() << '\n'
      << "tail size     " << plugin->TailSize() << '\n';
  out << "pins\n";
  PrintPins(out, *plugin, true);
  PrintPins(out, *plugin, false);

  out << "programs (" << e.numPrograms << "), current " << plugin->Program() << " \"" << plugin->ProgramName()
      << "\"\n";
  for (int p = 0; p < e.numPrograms; ++p) {
    auto name = plugin->ProgramNameIndexed(p);
    out << "  " << std::setw(3) << p << "  " << (name ? '"' + *name + '"' : std::string("(no name)")) << '\n';
  }

  out << "parameters (" << e.numParams << ")\n";
  for (int i = 0; i < e.numParams; ++i) {
    const std::string label = plugin->ParameterLabel(i);
    out << "  " << std::setw(3) << i << "  \"" << plugin->ParameterName(i) << "\" = \"" << plugin->ParameterDisplay(i)
        << '"' << (label.empty() ? "" : " " + label) << "  (host value " << plugin->Parameter(i) << ")\n";
  }

  out << "can do\n";
  for (const char *text : vst2::kPlugCanDos) {
    const auto answer = plugin->CanDo(text);
    out << "  " << std::left << std::setw(24) << text << std::right << std::setw(3) << answer << "  "
        << CanDoWord(answer) << '\n';
  }
  plugin->Close();
  return 0;
}

} // namespace vsthost
