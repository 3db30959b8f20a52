#pragma once
// The vsthost commands. Each returns the process exit code (0 success, 1
// failure) and writes its report to `out`; errors go to `err` as one line.
#include <iosfwd>
#include <string>

#include "host/vsthost/CommandLine.h"

namespace vsthost {

int RunInfo(const Options &options, std::ostream &out);
int RunRender(const Options &options, std::ostream &out);
int RunSnapshot(const Options &options, std::ostream &out);
// `pluginDir` is where the built plug-ins are; `outDir` where the demo writes.
int RunDemo(const std::string &pluginDir, const std::string &outDir, std::ostream &out);

} // namespace vsthost
