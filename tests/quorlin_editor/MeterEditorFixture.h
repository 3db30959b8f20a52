#pragma once
// Support for the meter editor's tests.
//
// * LoadMeter: the built plug-in through its exported entry, with the host
//   library's recording callback; kept loaded for the whole run (its private
//   runtime's exception pool would otherwise read as a leak).
// * MeterSession: the plug-in with its editor opened on the headless backend,
//   plus helpers to feed audio, tick the clock and render.
// * PictureOracle: an editor form made in this process and set directly to a
//   given state (look, needle positions, indicator place and opacity), whose
//   render is what the plug-in's render must equal in that state; and the
//   reading of needle positions out of a render by matching each meter's area
//   against the oracle's frames.
#include <dlfcn.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/HostLibrary.h"
#include "quorlin/editor/MeterEditorWindow.h"
#include "quorlin/editor/MeterImages.h"
#include "vst2/HeadlessEditor.h"
#include "vst2/VstAbi.h"

namespace meted {

inline const std::string kPluginPath = std::string(NIMBREL_PLUGIN_DIR) + "/Quorlin.so";

inline std::unique_ptr<host::Plugin> LoadMeter() {
  static const bool pinned = ::dlopen(kPluginPath.c_str(), RTLD_NOW | RTLD_LOCAL) != nullptr;
  EXPECT_TRUE(pinned) << ::dlerror();
  return host::Plugin::Load(kPluginPath);
}

enum class Look { A, B };

struct EditorState {
  Look look = Look::A;
  int left = 0;
  int right = 0;
  int indicatorTop = quorlin::kIndicatorTopPeak;
  int indicatorOpacity = quorlin::kIndicatorOpacity;
};

using Pixels = std::vector<std::uint32_t>;
constexpr int kW = quorlin::kMeterClientWidth;
constexpr int kH = quorlin::kMeterClientHeight;

// The meters' own columns: the right meter's first column lies over the left
// meter's last one, so each is read where the other cannot show.
struct Area {
  int left, top, right, bottom; // half-open
};
constexpr Area kLeftNeedleArea{7, 91, 172, kH};
constexpr Area kRightNeedleArea{173, 91, 338, kH};

inline int CountDifferences(const Pixels &a, const Pixels &b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

class PictureOracle {
public:
  static PictureOracle &Instance() {
    static PictureOracle oracle;
    return oracle;
  }

  Pixels Render(const EditorState &s) {
    quorlin::TFmRMSMeter &f = window_.Form();
    const bool wantA = s.look == Look::A;
    if ((f.DIBStyle.ImageIndex() == quorlin::kImageStyleWhite) != wantA) f.DIBStyleClick(f.DIBStyle);
    f.LeftMeter.SetPosition(s.left);
    f.RightMeter.SetPosition(s.right);
    f.Knob.SetTop(s.indicatorTop);
    f.Knob.SetOpacity(static_cast<std::uint8_t>(s.indicatorOpacity));
    Pixels px(static_cast<std::size_t>(kW) * kH);
    vst2::HeadlessImage image{px.data(), kW, kH};
    EXPECT_EQ(window_.HeadlessRequest(vst2::kHeadlessRender, 0, &image), 1);
    return px;
  }

  // The needle position whose frame the area shows in `image`, or -1.
  int ReadNeedle(const Pixels &image, Look look, bool left) {
    const Area &a = left ? kLeftNeedleArea : kRightNeedleArea;
    const std::vector<Pixels> &frames = Frames(look, left);
    for (int p = 0; p < static_cast<int>(frames.size()); ++p)
      if (Cut(image, a) == frames[static_cast<std::size_t>(p)]) return p;
    return -1;
  }

  static Pixels Cut(const Pixels &image, const Area &a) {
    Pixels out;
    for (int y = a.top; y < a.bottom; ++y)
      for (int x = a.left; x < a.right; ++x) out.push_back(image[static_cast<std::size_t>(y) * kW + x]);
    return out;
  }

private:
  PictureOracle() { EXPECT_TRUE(window_.AttachToParent(nullptr, true)); }

  const std::vector<Pixels> &Frames(Look look, bool left) {
    auto &frames = frames_[{look, left}];
    if (frames.empty()) {
      for (int p = 0; p < 63; ++p) {
        EditorState s;
        s.look = look;
        s.left = s.right = p;
        frames.push_back(Cut(Render(s), left ? kLeftNeedleArea : kRightNeedleArea));
      }
    }
    return frames;
  }

  quorlin::TMeterEditorWindow window_;
  std::map<std::pair<Look, bool>, std::vector<Pixels>> frames_;
};

// A level that the needle shows at position p (1..62): a little above the
// position's lower bound, well below the next one.
inline float LevelForPosition(int p) {
  static constexpr double kBounds[] = {-50, -40, -30, -26, -23, -20, -19, -18, -17, -16, -14.5, -12.5, -11.5,
                                       -10.5, -9.9, -9.6, -9.3, -9.0, -8.7, -8.4, -8.1, -7.9, -7.5, -7.1, -6.3,
                                       -5.4, -5.0, -4.7, -4.4, -4.1, -3.7, -3.3, -3.0, -2.8, -2.6, -2.4, -2.2,
                                       -2.0, -1.8, -1.6, -1.4, -1.2, -0.9, -0.7, -0.5, -0.2, 0.0, 0.2, 0.4,
                                       0.6, 0.8, 1.0, 1.2, 1.4, 1.6, 1.8, 2.0, 2.2, 2.4, 2.6, 2.8, 3.0};
  if (p <= 0) return 0.0f;
  return static_cast<float>(std::pow(10.0, (kBounds[p - 1] + 0.05) / 20.0));
}

// The plug-in with its editor open on the headless backend.
class MeterSession {
public:
  explicit MeterSession(bool openEditor = true) : plugin_(LoadMeter()) {
    plugin_->Open();
    plugin_->SetSampleRate(44100.0f);
    plugin_->SetBlockSize(512);
    plugin_->Resume();
    if (openEditor) Open();
  }

  host::Plugin &Plugin() { return *plugin_; }

  void Open() {
    ASSERT_TRUE(plugin_->SelectHeadless());
    ASSERT_TRUE(plugin_->OpenEditor(nullptr));
  }
  void Close() { plugin_->CloseEditor(); }

  // `frames` frames of constant values on the two channels.
  void Feed(float left, float right, int frames = 1) {
    host::ChannelBuffers in(2, frames), out(2, frames);
    for (int i = 0; i < frames; ++i) {
      in.Channel(0)[i] = left;
      in.Channel(1)[i] = right;
    }
    plugin_->ProcessReplacing(in, out, frames);
  }
  // The host's idle call after the clock moved on by `ms`.
  void Step(int ms) {
    plugin_->AdvanceClock(ms);
    plugin_->EditorIdle();
  }
  void Tick() { Step(quorlin::kMeterTimerInterval); }

  Pixels Render() {
    auto image = plugin_->RenderEditor();
    EXPECT_TRUE(image.has_value());
    if (!image) return {};
    EXPECT_EQ(image->width, kW);
    EXPECT_EQ(image->height, kH);
    return image->pixels;
  }
  std::pair<int, int> Needles(Look look = Look::A) {
    const Pixels image = Render();
    auto &oracle = PictureOracle::Instance();
    return {oracle.ReadNeedle(image, look, true), oracle.ReadNeedle(image, look, false)};
  }
  // The render compared with the oracle's picture of `state`.
  void ExpectShows(const EditorState &state) {
    const int diff = CountDifferences(Render(), PictureOracle::Instance().Render(state));
    EXPECT_EQ(diff, 0) << "look " << (state.look == Look::A ? 'A' : 'B') << ", needles " << state.left << "/"
                       << state.right << ", indicator top " << state.indicatorTop << " opacity "
                       << state.indicatorOpacity;
  }

  void Press(vst2::HeadlessMouseButton button, int x, int y) {
    ASSERT_TRUE(plugin_->Mouse(vst2::kMouseDown, button, x, y));
  }
  void Release(vst2::HeadlessMouseButton button, int x, int y) {
    ASSERT_TRUE(plugin_->Mouse(vst2::kMouseUp, button, x, y));
  }

private:
  std::unique_ptr<host::Plugin> plugin_;
};

// Centres of the click areas and the style switch, in client pixels.
constexpr int kPeakX = 356 + 36, kPeakY = 115 + 11;
constexpr int kRmsX = 356 + 36, kRmsY = 145 + 12;
constexpr int kStyleX = 352 + 42, kStyleY = 84 + 11;

} // namespace meted
