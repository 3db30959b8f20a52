// Every dispatcher opcode a host could send, known or not, and many instances
// at once: the plug-ins must answer, keep processing and keep their state.
#include <cstdlib>
#include <vector>

#include "tests/torture/TortureFixture.h"

namespace torture {
namespace {

class OpcodeSweep : public testing::TestWithParam<Kind> {
protected:
  // No display: an open-editor request with a made-up parent window must fail
  // cleanly instead of reaching an X server with a window id that is none.
  void SetUp() override { ::unsetenv("DISPLAY"); }
};

INSTANTIATE_TEST_SUITE_P(Torture, OpcodeSweep, testing::ValuesIn(kBothPlugins), KindName);

// Opcodes -1 to 200, first with null arguments, then with a generous zeroed
// buffer as the pointer argument; a block of audio after every request. The
// close request comes last, once.
TEST_P(OpcodeSweep, EveryOpcodeWithNullAndWithZeroedArguments) {
  auto plugin = Load(GetParam());
  vst2::AEffect *effect = plugin->RawEffect();
  const Stereo in = Noise(32, 21);
  std::vector<char> buffer(64 * 1024);
  int calls = 0;
  for (bool withBuffer : {false, true}) {
    for (vst2::VstInt32 opcode = -1; opcode <= 200; ++opcode) {
      if (opcode == vst2::effClose)
        continue;
      SCOPED_TRACE("opcode " + std::to_string(opcode) + (withBuffer ? " with a zeroed buffer" : " with null"));
      std::fill(buffer.begin(), buffer.end(), '\0');
      effect->dispatcher(effect, opcode, 0, 0, withBuffer ? buffer.data() : nullptr, 0.0f);
      ++calls;
      const Stereo out = Render(effect, in, 32);
      ASSERT_TRUE(AllClean(out));
      if (GetParam() == Kind::kQuorlin) {
        ASSERT_TRUE(SameBits(out, in));
      }
    }
  }
  EXPECT_EQ(calls, 2 * 201);
  // The description is what it was.
  EXPECT_EQ(plugin->EffectName(), Name(GetParam()));
  EXPECT_EQ(plugin->Effect().magic, vst2::kEffectMagic);
  EXPECT_EQ(plugin->Program(), 0);
  EXPECT_EQ(plugin->CanDo("2in2out"), 1);
  ExpectAudioLikeFresh(*plugin, GetParam(), "every opcode");
  plugin->Close();
  EXPECT_TRUE(plugin->IsClosed());
}

// 64 instances of one plug-in in one process, each with an editor on the
// headless backend where the build has one, processed in turn. Their outputs
// must agree sample for sample (no state shared between instances), and half
// of them are closed with the editor still open.
TEST_P(OpcodeSweep, SixtyFourInstancesWithEditors) {
  constexpr int kInstances = 64;
  std::vector<std::unique_ptr<host::Plugin>> plugins;
  int editors = 0;
  for (int i = 0; i < kInstances; ++i) {
    plugins.push_back(Load(GetParam()));
    if (plugins.back()->SelectHeadless() && plugins.back()->Dispatch(vst2::effEditOpen, 0, 0, nullptr) == 1)
      ++editors;
  }
  const Stereo in = Noise(4096, 22);
  std::vector<Stereo> outs(kInstances, Stereo(in.Frames()));
  for (int at = 0; at < in.Frames(); at += 256) {
    for (int i = 0; i < kInstances; ++i) {
      vst2::AEffect *e = plugins[static_cast<std::size_t>(i)]->RawEffect();
      float *ip[2] = {const_cast<float *>(in.left.data()) + at, const_cast<float *>(in.right.data()) + at};
      Stereo &o = outs[static_cast<std::size_t>(i)];
      float *op[2] = {o.left.data() + at, o.right.data() + at};
      e->processReplacing(e, ip, op, 256);
      e->dispatcher(e, vst2::effEditIdle, 0, 0, nullptr, 0.0f);
    }
  }
  for (int i = 0; i < kInstances; ++i) {
    ASSERT_TRUE(AllClean(outs[static_cast<std::size_t>(i)])) << "instance " << i;
    ASSERT_TRUE(SameBits(outs[static_cast<std::size_t>(i)], outs[0])) << "instance " << i;
  }
  if (GetParam() == Kind::kQuorlin) {
    EXPECT_TRUE(SameBits(outs[0], in));
  }
  // Odd ones are closed with the editor open, even ones closed properly.
  for (int i = 0; i < kInstances; i += 2)
    plugins[static_cast<std::size_t>(i)]->Dispatch(vst2::effEditClose);
  for (int i = 0; i < kInstances; ++i)
    plugins[static_cast<std::size_t>(i)]->Close();
  RecordProperty("editors", editors);
  std::printf("%s: %d instances, %d with an editor\n", Name(GetParam()), kInstances, editors);
  auto after = Load(GetParam());
  ExpectAudioLikeFresh(*after, GetParam(), "64 instances");
}

} // namespace
} // namespace torture
