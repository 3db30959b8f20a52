#pragma once
// What render and snapshot do to a freshly loaded plug-in before using it.
#include "host/vsthost/CommandLine.h"
#include "host/HostLibrary.h"

namespace vsthost {

// effOpen, the sample rate, then --program and the --param / --param-text
// settings in command-line order. Bad indices and refused texts throw
// host::HostError.
void PreparePlugin(host::Plugin &plugin, const Options &options, double rate);

// Names of the set bits of an effect's flags word ("has editor, can replacing").
std::string DescribeFlags(vst2::VstInt32 flags);
const char *CategoryName(vst2::VstInt32 category);

} // namespace vsthost
