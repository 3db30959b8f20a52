#include "host/vsthost/CommandLine.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <tuple>

namespace vsthost {

namespace {

int ParseInt(const std::string &what, const std::string &text, long long lo, long long hi) {
  long long v = 0;
  const char *end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, v);
  if (text.empty() || ec != std::errc() || p != end)
    throw UsageError(what + ": '" + text + "' is not a whole number");
  if (v < lo || v > hi)
    throw UsageError(what + ": " + text + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
  return static_cast<int>(v);
}

double ParseReal(const std::string &what, const std::string &text, double lo, double hi) {
  // strtod accepts the C locale's decimal point only, which is what we want.
  char *end = nullptr;
  const double v = text.empty() ? 0.0 : std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(v))
    throw UsageError(what + ": '" + text + "' is not a number");
  if (v < lo || v > hi) throw UsageError(what + ": " + text + " is outside the allowed range");
  return v;
}

// Splits "A<sep>B" at the first separator.
std::pair<std::string, std::string> Split(const std::string &what, const std::string &text, char sep) {
  const auto at = text.find(sep);
  if (at == std::string::npos) throw UsageError(what + ": expected '" + std::string(1, sep) + "' in '" + text + "'");
  return {text.substr(0, at), text.substr(at + 1)};
}

std::pair<int, int> ParsePoint(const std::string &what, const std::string &text) {
  auto [x, y] = Split(what, text, ',');
  return {ParseInt(what, x, -32768, 32767), ParseInt(what, y, -32768, 32767)};
}

Command ParseCommand(const std::string &name) {
  if (name == "info") return Command::Info;
  if (name == "render") return Command::Render;
  if (name == "snapshot") return Command::Snapshot;
  if (name == "demo") return Command::Demo;
  if (name == "help" || name == "--help" || name == "-h") return Command::Help;
  throw UsageError("unknown command '" + name + "' (info, render, snapshot, demo)");
}

bool Allowed(Command c, const std::string &option) {
  const bool audio = c == Command::Render;
  const bool editor = c == Command::Snapshot;
  if (option == "--program" || option == "--param" || option == "--param-text") return audio || editor;
  if (option == "--block" || option == "--seconds") return audio;
  if (option == "--rate") return audio || editor;
  if (option == "--click" || option == "--drag" || option == "--ticks") return editor;
  if (option == "--plugins") return c == Command::Demo;
  return false;
}

} // namespace

Options ParseCommandLine(const std::vector<std::string> &args) {
  if (args.empty()) throw UsageError("no command given (info, render, snapshot, demo)");
  Options o;
  o.command = ParseCommand(args[0]);
  if (o.command == Command::Help) return o;

  std::vector<std::string> positional;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string arg = args[i];
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      positional.push_back(arg);
      continue;
    }
    std::string value;
    bool hasValue = false;
    if (const auto eq = arg.find('='); eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
      hasValue = true;
    }
    if (!Allowed(o.command, arg)) throw UsageError("unknown option '" + arg + "' for " + args[0]);
    if (!hasValue) {
      if (i + 1 >= args.size()) throw UsageError(arg + ": missing value");
      value = args[++i];
    }
    if (arg == "--program") {
      o.program = ParseInt(arg, value, 0, 1 << 20);
    } else if (arg == "--param") {
      auto [index, v] = Split(arg, value, '=');
      Setting s;
      s.kind = Setting::HostValue;
      s.index = ParseInt(arg, index, 0, 1 << 20);
      s.value = static_cast<float>(ParseReal(arg, v, 0.0, 1.0));
      o.settings.push_back(s);
    } else if (arg == "--param-text") {
      auto [index, text] = Split(arg, value, '=');
      Setting s;
      s.kind = Setting::Text;
      s.index = ParseInt(arg, index, 0, 1 << 20);
      if (text.size() > 255) throw UsageError(arg + ": text longer than 255 characters");
      s.text = text;
      o.settings.push_back(s);
    } else if (arg == "--block") {
      o.block = ParseInt(arg, value, 1, 65536);
    } else if (arg == "--rate") {
      o.rate = ParseReal(arg, value, 1000.0, 768000.0);
      o.rateGiven = true;
    } else if (arg == "--seconds") {
      o.seconds = ParseReal(arg, value, 0.001, 3600.0);
      o.secondsGiven = true;
    } else if (arg == "--click") {
      Gesture g;
      g.kind = Gesture::Click;
      std::tie(g.x1, g.y1) = ParsePoint(arg, value);
      o.gestures.push_back(g);
    } else if (arg == "--drag") {
      auto [from, to] = Split(arg, value, ':');
      Gesture g;
      g.kind = Gesture::Drag;
      std::tie(g.x1, g.y1) = ParsePoint(arg, from);
      std::tie(g.x2, g.y2) = ParsePoint(arg, to);
      o.gestures.push_back(g);
    } else if (arg == "--ticks") {
      Gesture g;
      g.kind = Gesture::Ticks;
      g.ticks = ParseInt(arg, value, 0, 100000);
      o.gestures.push_back(g);
    } else if (arg == "--plugins") {
      o.pluginDir = value;
    }
  }

  switch (o.command) {
  case Command::Info:
    if (positional.size() != 1) throw UsageError("info takes one plug-in file");
    o.plugin = positional[0];
    break;
  case Command::Render:
    if (positional.size() == 2) {
      o.plugin = positional[0];
      o.output = positional[1];
    } else if (positional.size() == 3) {
      o.plugin = positional[0];
      o.input = positional[1];
      o.output = positional[2];
    } else {
      throw UsageError("render takes PLUGIN [IN.wav] OUT.wav");
    }
    break;
  case Command::Snapshot:
    if (positional.size() != 2) throw UsageError("snapshot takes PLUGIN OUT.png");
    o.plugin = positional[0];
    o.output = positional[1];
    break;
  case Command::Demo:
    if (!positional.empty()) throw UsageError("demo takes no file arguments");
    break;
  case Command::Help:
    break;
  }
  return o;
}

const char *UsageText() {
  return "usage:\n"
         "  vsthost info PLUGIN\n"
         "  vsthost render PLUGIN [IN.wav] OUT.wav [--program N] [--param I=V] [--param-text I=TEXT]\n"
         "                 [--block N] [--rate HZ] [--seconds S]\n"
         "  vsthost snapshot PLUGIN OUT.png [--program N] [--param I=V] [--param-text I=TEXT]\n"
         "                 [--click X,Y] [--drag X1,Y1:X2,Y2] [--ticks N]\n"
         "  vsthost demo [--plugins DIR]\n"
         "Parameter values V are the host's 0..1 scale; without IN.wav a built-in test\n"
         "signal (a tone pair, then a sweep) is rendered.\n";
}

} // namespace vsthost
