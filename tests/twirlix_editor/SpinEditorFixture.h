#pragma once
// The built Twirlix.so loaded through its entry point by the host library,
// with its editor open on the headless backend, and the helpers the editor
// tests share: label and dial readers (the editor's own headless requests),
// presses, and the automation notices the host heard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host/HostLibrary.h"
#include "twirlix/editor/SpinEditorRequests.h"
#include "vst2/HeadlessEditor.h"

namespace spin_editor_test {

using nimbrel::twirlix::TSpinLabelState;

inline const std::string kPluginPath = std::string(NIMBREL_PLUGIN_DIR) + "/Twirlix.so";

// Parameter indices and ranges of the spin plug-in.
enum : int { kCoefficients = 0, kProcessType = 1, kLfoSpeed = 2 };

// Where the controls lie on the form.
inline constexpr int kTypeX = 62, kTypeY = 24;     // inside LbType's text box
inline constexpr int kColourX = 79, kColourY = 62; // inside LbColour's text box

struct Notice {
  int index;
  float value; // host scale
  friend bool operator==(const Notice &, const Notice &) = default;
};

inline std::ostream &operator<<(std::ostream &os, const Notice &n) {
  return os << "{" << n.index << ", " << n.value << "}";
}

class SpinEditor : public ::testing::Test {
protected:
  void SetUp() override {
    plugin = host::Plugin::Load(kPluginPath);
    plugin->Open();
  }

  void OpenEditor() {
    ASSERT_TRUE(plugin->SelectHeadless());
    ASSERT_TRUE(plugin->OpenEditor());
  }

  std::intptr_t Request(std::int32_t request, std::intptr_t value = 0, void *ptr = nullptr) {
    return vst2::HeadlessDispatch(plugin->RawEffect(), request, value, ptr);
  }

  TSpinLabelState Label(int which) {
    TSpinLabelState state{};
    EXPECT_EQ(Request(nimbrel::twirlix::kSpinReadLabel, which, &state), 1);
    return state;
  }
  std::string Caption(int which) { return Label(which).caption; }
  int Tag(int which) { return Label(which).tag; }
  float Dial() {
    float position = -1.0f;
    EXPECT_EQ(Request(nimbrel::twirlix::kSpinReadDial, 0, &position), 1);
    return position;
  }

  void Press(int x, int y, vst2::HeadlessMouseButton button = vst2::kButtonLeft) {
    ASSERT_TRUE(plugin->Mouse(vst2::kMouseDown, button, x, y));
    ASSERT_TRUE(plugin->Mouse(vst2::kMouseUp, button, x, y));
  }

  // Sets parameter `index` in its own units through the host's text request.
  void SetByText(int index, const std::string &text) { ASSERT_TRUE(plugin->SetParameterFromText(index, text)); }

  // The automation notices heard since the last ClearNotices.
  std::vector<Notice> Notices() const {
    std::vector<Notice> out;
    for (const host::CallbackRecord &r : plugin->Callbacks().Records(vst2::audioMasterAutomate))
      out.push_back({r.index, r.opt});
    return out;
  }
  void ClearNotices() { plugin->Callbacks().Clear(); }

  std::unique_ptr<host::Plugin> plugin;
};

// Host scale of a value in parameter units, as the plug-in computes it.
inline float HostValue(int index, float value) {
  const long double min = index == kCoefficients ? 1 : index == kProcessType ? 1 : 0;
  const long double max = index == kCoefficients ? 32 : index == kProcessType ? 10 : 13;
  return static_cast<float>((value - min) / (max - min));
}

} // namespace spin_editor_test
