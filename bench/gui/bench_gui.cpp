// The toolkit's costly paths: one dial repaint (a 127 x 127 frame of an
// 8001 x 127 strip blended over its parent's picture), decoding an
// 8001 x 127 RGBA PNG, and a bilinear stretch.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

#include "gui/Form.h"
#include "gui/Image32.h"
#include "gui/Png.h"
#include "twirlix/editor/Dial32.h"

using namespace gui;

namespace {

// Soft-edged frames: a disc of opaque colour with a fading rim, transparent outside.
TBitmap32 SoftStrip(int frames = 63, int size = 127) {
  TBitmap32 s(frames * size, size);
  const float r = size / 2.0f;
  for (int k = 0; k < frames; ++k)
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const float dx = x - r + 0.5f, dy = y - r + 0.5f;
        const float d = std::sqrt(dx * dx + dy * dy);
        const float a = std::clamp((r - d) / 6.0f, 0.0f, 1.0f);
        s.SetPixel(k * size + x, y, Color32(k * 4, 200 - k * 3, x + y, static_cast<std::uint32_t>(a * 255)));
      }
  return s;
}

void BM_DialRepaint(benchmark::State &state) {
  TForm form;
  form.SetClientSize(454, 237);
  TImage32 background(&form);
  background.SetBounds(0, 0, 454, 237);
  TBitmap32 pic(454, 237);
  for (int y = 0; y < 237; ++y)
    for (int x = 0; x < 454; ++x) pic.SetPixel(x, y, Color32(x / 2, y, 90));
  background.SetBitmap(pic);
  twirlix::TDial32 dial(&background);
  dial.SetBounds(223, 19, 127, 127);
  dial.SetTransparent(true);
  dial.SetMax(1300);
  dial.DialBitmap().AssignPixels(SoftStrip());
  dial.SetNumGlyphs(63);
  TBitmap32 canvas(127, 127);
  float p = 0;
  for (auto _ : state) {
    p = p >= 1300 ? 0 : p + 21; // a new frame every repaint
    dial.SetPosition(p);
    dial.Paint(canvas); // parent background + frame blend + copy out
    benchmark::DoNotOptimize(canvas.Bits());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DialRepaint);

void BM_DecodeStripPng(benchmark::State &state) {
  const std::vector<std::uint8_t> png = EncodePng(SoftStrip());
  for (auto _ : state) {
    TBitmap32 b = DecodePng(png);
    benchmark::DoNotOptimize(b.Bits());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 8001 * 127 * 4);
  state.counters["png_bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_DecodeStripPng)->Unit(benchmark::kMillisecond);

void BM_BilinearStretch(benchmark::State &state) {
  TBitmap32 src(454, 237);
  for (int y = 0; y < 237; ++y)
    for (int x = 0; x < 454; ++x) src.SetPixel(x, y, Color32(x, y, x ^ y, 255));
  src.Resampler = TResampler::rsBilinear;
  src.DrawMode = TDrawMode::dmBlend;
  TBitmap32 dst(908, 474);
  for (auto _ : state) {
    src.DrawTo(dst, dst.BoundsRect(), src.BoundsRect());
    benchmark::DoNotOptimize(dst.Bits());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 908 * 474);
}
BENCHMARK(BM_BilinearStretch)->Unit(benchmark::kMicrosecond);

} // namespace
