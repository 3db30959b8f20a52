// vsthost demo: both plug-ins through their paces, results in ./out.
//
// Twirlix: every factory program renders the built-in signal (WAV and, with
// sox, a spectrogram) and a 1 kHz test tone whose shift is measured and set
// beside the LFO frequency the program asks for. Quorlin: the signal must come
// back bit for bit. Then the editors are snapshot on the headless backend.
//
// A plug-in that is not built or an editor that does not open is a note; a
// plug-in that exists but fails to load or run, or a meter that alters the
// audio, is a failure and makes the exit code 1.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "host/vsthost/Commands.h"
#include "host/vsthost/EditorSession.h"
#include "host/vsthost/LfoFrequency.h"
#include "host/vsthost/Renderer.h"
#include "host/vsthost/Spectrogram.h"
#include "host/vsthost/TestSignal.h"
#include "host/vsthost/ToneShift.h"
#include "host/vsthost/WavFile.h"

namespace vsthost {

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr double kSignalSeconds = 4.0;
constexpr double kToneHz = 1000.0;
constexpr double kToneAmplitude = 0.5;
constexpr double kToneSeconds = 12.0;

std::string Slug(const std::string &name) {
  std::string s;
  for (char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c)))
      s += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    else if (!s.empty() && s.back() != '-')
      s += '-';
  }
  while (!s.empty() && s.back() == '-') s.pop_back();
  return s.empty() ? "program" : s;
}

std::string Fixed(double v, int digits) {
  std::ostringstream os;
  os << std::fixed << std::setprecision(digits) << v;
  return os.str();
}

std::string ShiftText(const ToneShift &s) {
  if (!s.found) return "none";
  return (s.offsetHz >= 0 ? "+" : "") + Fixed(s.offsetHz, 3);
}

// Makes program `p` current so that its stored values are applied. A program
// that is already current is not re-applied by a set-program request, so the
// demo steps through a neighbour first.
void SelectApplied(host::Plugin &plugin, int p) {
  if (plugin.Program() == p && plugin.NumPrograms() > 1) plugin.SetProgram((p + 1) % plugin.NumPrograms());
  plugin.SetProgram(p);
}

double ParameterUnits(host::Plugin &plugin, int index, double min, double max) {
  const std::string text = plugin.ParameterDisplay(index);
  char *end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (!text.empty() && end == text.c_str() + text.size() && std::isfinite(v)) return v;
  return min + static_cast<double>(plugin.Parameter(index)) * (max - min);
}

struct Outcome {
  bool failed = false;
};

void DemoTwirlix(const std::string &path, const std::filesystem::path &outDir, std::ostream &out) {
  out << "== Twirlix (" << path << ")\n";
  if (!std::filesystem::exists(path)) {
    out << "Twirlix is not built yet: skipped\n";
    return;
  }
  const std::string sox = FindSox();
  if (sox.empty()) out << "note: sox not found, no spectrograms\n";
  const Audio signal = MakeTestSignal(kRate, kSignalSeconds);
  const Audio tone = MakeSine(kRate, kToneSeconds, kToneHz, kToneAmplitude);

  host::LoadOptions load;
  load.minInputs = 2;
  load.minOutputs = 2;
  int programs = 0;
  {
    auto probe = host::Plugin::Load(path, load);
    programs = probe->NumPrograms();
  }
  out << std::left << std::setw(3) << "#" << std::setw(16) << "program" << std::setw(10) << "mode" << std::setw(8)
      << "coeffs" << std::setw(10) << "LFO Hz" << "tone shift L / R (Hz)" << std::right << '\n';
  std::vector<std::string> notes;
  for (int p = 0; p < programs; ++p) {
    auto plugin = host::Plugin::Load(path, load);
    plugin->Open();
    plugin->SetSampleRate(static_cast<float>(kRate));
    plugin->SetBlockSize(kBlock);
    SelectApplied(*plugin, p);
    const std::string name = plugin->ProgramName();
    const std::string mode = plugin->NumParameters() > 1 ? plugin->ParameterDisplay(1) : "?";
    const std::string coeffs = plugin->ParameterDisplay(0);
    const double lfo = plugin->NumParameters() > 2 ? LfoFrequency(ParameterUnits(*plugin, 2, 0.0, 13.0)) : 0.0;

    const std::string base = "twirlix-" + std::to_string(p) + "-" + Slug(name);
    const Audio rendered = Render(*plugin, signal, signal.samples.Frames(), kBlock);
    const auto wav = (outDir / (base + ".wav")).string();
    WriteWav(wav, rendered);
    if (!sox.empty() && !WriteSpectrogram(sox, wav, (outDir / (base + ".png")).string(), "Twirlix: " + name))
      notes.push_back("sox failed on " + wav);

    const Audio wet = Render(*plugin, tone, tone.samples.Frames(), kBlock);
    const auto frames = static_cast<std::size_t>(wet.samples.Frames());
    const ToneShift left = MeasureToneShift(wet.samples.Channel(0), frames, kRate, kToneHz, kToneAmplitude);
    const ToneShift right = MeasureToneShift(wet.samples.Channel(1), frames, kRate, kToneHz, kToneAmplitude);
    plugin->Close();

    out << std::left << std::setw(3) << p << std::setw(16) << name << std::setw(10) << mode << std::setw(8) << coeffs
        << std::setw(10) << Fixed(lfo, 3) << ShiftText(left) << " / " << ShiftText(right) << std::right << '\n';
    for (const ToneShift *s : {&left, &right}) {
      if (!s->found) continue;
      const double m = std::fabs(s->offsetHz);
      if (std::fabs(m - lfo) > std::max(0.05, 0.05 * lfo)) {
        notes.push_back("program " + std::to_string(p) + ": strongest moved component at " + Fixed(m, 3) +
                        " Hz, not at the LFO's " + Fixed(lfo, 3) + " Hz");
        break;
      }
    }
  }
  out << "LFO Hz is computed here from the LFO Speed value x (its display text) as (exp(0.053319013 x) - 1) x 13;\n"
         "the shift is the offset of the strongest component of the output, once everything left at the\n"
         "input frequency (the dry part) is removed, from a "
      << kToneHz << " Hz tone (" << kToneSeconds << " s).\n";
  for (const auto &n : notes) out << "note: " << n << '\n';
}

// Renders the signal through an open plug-in and checks that every output
// sample equals its input sample bit for bit.
bool PassesUnchanged(host::Plugin &plugin, const Audio &signal, std::ostream &out, const char *when) {
  const Audio rendered = Render(plugin, signal, signal.samples.Frames(), kBlock);
  const int frames = signal.samples.Frames();
  for (int c = 0; c < 2; ++c) {
    const float *a = signal.samples.Channel(c);
    const float *b = rendered.samples.Channel(c);
    for (int i = 0; i < frames; ++i) {
      if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) {
        out << "Quorlin " << when << ": output DIFFERS from input at channel " << c << ", frame " << i << " ("
            << a[i] << " in, " << b[i] << " out)\n";
        return false;
      }
    }
  }
  out << "Quorlin " << when << ": output equals input bit for bit (" << frames << " frames x 2 channels)\n";
  return true;
}

void DemoQuorlin(const std::string &path, const std::filesystem::path &outDir, std::ostream &out, Outcome &o) {
  out << "== Quorlin (" << path << ")\n";
  if (!std::filesystem::exists(path)) {
    out << "Quorlin is not built yet: skipped\n";
    return;
  }
  host::LoadOptions load;
  load.minInputs = 2;
  load.minOutputs = 2;
  const Audio signal = MakeTestSignal(kRate, kSignalSeconds);
  {
    auto plugin = host::Plugin::Load(path, load);
    plugin->Open();
    if (!PassesUnchanged(*plugin, signal, out, "editor closed")) o.failed = true;
    const Audio rendered = Render(*plugin, signal, signal.samples.Frames(), kBlock);
    WriteWav((outDir / "quorlin.wav").string(), rendered);
    plugin->Close();
  }
}

// Snapshots one editor; a missing or failing editor is a note.
void DemoEditor(const std::string &path, const std::string &label, const std::filesystem::path &outDir,
                std::ostream &out, Outcome &o, bool meter) {
  if (!std::filesystem::exists(path)) return;
  auto plugin = host::Plugin::Load(path);
  plugin->Open();
  plugin->SetSampleRate(static_cast<float>(kRate));
  try {
    EditorSession editor(*plugin);
    if (meter) {
      const Audio signal = MakeTestSignal(kRate, kSignalSeconds);
      if (!PassesUnchanged(*plugin, signal, out, "editor open")) o.failed = true;
    }
    editor.Tick(meter ? 25 : 3);
    const auto first = (outDir / (label + "-editor.png")).string();
    auto image = editor.Snapshot(first);
    out << "wrote " << first << " (" << image.width << " x " << image.height << ")\n";
    if (meter) {
      plugin->Click(394, 95); // the style switch
      editor.Tick(3);
      const auto second = (outDir / (label + "-editor-style2.png")).string();
      image = editor.Snapshot(second);
      out << "wrote " << second << " (" << image.width << " x " << image.height << ")\n";
    }
  } catch (const host::HostError &e) {
    out << label << " editor: " << e.what() << '\n';
  }
  plugin->Close();
}

} // namespace

int RunDemo(const std::string &pluginDir, const std::string &outDir, std::ostream &out) {
  Outcome outcome;
  const std::filesystem::path dir(outDir);
  std::filesystem::create_directories(dir);
  const std::string twirlix = pluginDir + "/Twirlix.so";
  const std::string quorlin = pluginDir + "/Quorlin.so";
  auto guarded = [&](auto &&step) {
    try {
      step();
    } catch (const std::exception &e) {
      out << "FAILED: " << e.what() << '\n';
      outcome.failed = true;
    }
  };
  guarded([&] { DemoTwirlix(twirlix, dir, out); });
  guarded([&] { DemoQuorlin(quorlin, dir, out, outcome); });
  out << "== Editors\n";
  guarded([&] { DemoEditor(twirlix, "twirlix", dir, out, outcome, false); });
  guarded([&] { DemoEditor(quorlin, "quorlin", dir, out, outcome, true); });
  out << (outcome.failed ? "demo: FAILED\n" : "demo: done, results in " + dir.string() + "/\n");
  return outcome.failed ? 1 : 0;
}

} // namespace vsthost
