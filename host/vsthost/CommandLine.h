#pragma once
// The vsthost command line: commands, options and their checks. Parsing never
// touches a file or a plug-in; every mistake is a UsageError with one line.
#include <stdexcept>
#include <string>
#include <vector>

namespace vsthost {

class UsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

enum class Command { Info, Render, Snapshot, Demo, Help };

// One step applied to the plug-in, in command-line order.
struct Setting {
  enum Kind { HostValue, Text } kind = HostValue;
  int index = 0;
  float value = 0.0f; // HostValue: 0..1
  std::string text;   // Text: handed to the plug-in's text-to-parameter request
};

// One editor gesture of the snapshot command, in command-line order.
struct Gesture {
  enum Kind { Click, Drag, Ticks } kind = Click;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int ticks = 0;
};

struct Options {
  Command command = Command::Help;
  std::string plugin;
  std::string input;  // render: empty for the built-in test signal
  std::string output; // render: WAV; snapshot: PNG
  int program = -1;   // -1: leave the plug-in's current program
  std::vector<Setting> settings;
  std::vector<Gesture> gestures;
  int block = 512;
  double rate = 44100.0;
  bool rateGiven = false;
  double seconds = 4.0;
  bool secondsGiven = false;
  std::string pluginDir; // demo: where the plug-ins are (default <bin>/../plugins)
};

// Parses argv[1..argc-1]. Throws UsageError.
Options ParseCommandLine(const std::vector<std::string> &args);

const char *UsageText();

} // namespace vsthost
