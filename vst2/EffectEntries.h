#pragma once
// Internal: fills an effect record with the framework's C entries.
#include "vst2/VstAbi.h"

namespace vst2::detail {
void InstallEffectEntries(AEffect &effect);
}
