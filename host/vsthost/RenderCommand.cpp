// vsthost render: a WAV file (or the built-in test signal) through a plug-in.
#include <cmath>
#include <ostream>

#include "host/vsthost/Commands.h"
#include "host/vsthost/PluginSetup.h"
#include "host/vsthost/Renderer.h"
#include "host/vsthost/TestSignal.h"
#include "host/vsthost/WavFile.h"

namespace vsthost {

int RunRender(const Options &options, std::ostream &out) {
  Audio input;
  if (options.input.empty()) {
    input = MakeTestSignal(options.rate, options.seconds);
  } else {
    input = ReadWav(options.input);
    if (options.rateGiven && std::fabs(options.rate - input.rate) > 0.5)
      throw host::HostError("--rate " + std::to_string(static_cast<long>(options.rate)) + " differs from " +
                            options.input + "'s rate " + std::to_string(static_cast<long>(input.rate)) +
                            " (vsthost does not resample)");
  }
  const int frames = options.secondsGiven || options.input.empty()
                         ? static_cast<int>(std::floor(input.rate * options.seconds + 0.5))
                         : input.samples.Frames();

  host::LoadOptions load;
  load.answers.sampleRate = static_cast<float>(input.rate);
  load.answers.blockSize = options.block;
  auto plugin = host::Plugin::Load(options.plugin, load);
  if (plugin->NumOutputs() < 1) throw host::HostError(options.plugin + ": the plug-in has no outputs");
  PreparePlugin(*plugin, options, input.rate);
  const Audio output = Render(*plugin, input, frames, options.block, StderrProgress(input.rate, frames));
  plugin->Close();
  WriteWav(options.output, output);
  out << "wrote " << options.output << ": " << output.samples.Frames() << " frames, " << output.samples.Channels()
      << " channels, " << output.rate << " Hz\n";
  return 0;
}

} // namespace vsthost
