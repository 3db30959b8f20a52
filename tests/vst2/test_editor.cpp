// The editor lifecycle and the headless protocol, with a recording window.
#include <gtest/gtest.h>

#include "TestModule.h"
#include "vst2/HeadlessEditor.h"

using namespace vst2test;
using ::testing::ElementsAre;

namespace {

class Editor : public TModuleTest {
protected:
  void SetUp() override {
    TModuleTest::SetUp();
    Open();
    ClearLog();
  }
  vst2::VstIntPtr OpenEditor() { return Dispatch(effect, vst2::effEditOpen, 0, 0, &parentWindow); }
  int parentWindow = 0;
};

TEST_F(Editor, RectangleOnlyWithAnEditor) {
  vst2::ERect *rect = reinterpret_cast<vst2::ERect *>(0x1);
  EXPECT_EQ(Dispatch(effect, vst2::effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(rect, nullptr);
  ASSERT_EQ(OpenEditor(), 1);
  ASSERT_EQ(Dispatch(effect, vst2::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 237);
  EXPECT_EQ(rect->right, 454);
}

TEST_F(Editor, FormIsTakenOnlyAfterTheOpenHandlerReturns) {
  ASSERT_EQ(OpenEditor(), 1);
  EXPECT_THAT(Log(), ElementsAre("open handler, form empty", "editor made", "attach parent", "repaint"));
  EXPECT_NE(Module().EditorForm(), nullptr);
}

TEST_F(Editor, IdleRepaintsOnlyWhenMarkedAndAlwaysForwards) {
  ASSERT_EQ(OpenEditor(), 1);
  ClearLog();
  Dispatch(effect, vst2::effEditIdle);
  EXPECT_THAT(Log(), ElementsAre("idle"));
  ClearLog();
  effect->setParameter(effect, 2, 0.5f); // marks the editor
  Dispatch(effect, vst2::effEditIdle);
  Dispatch(effect, vst2::effEditIdle);
  EXPECT_THAT(Log(), ElementsAre("change 2 6.5", "repaint", "idle", "idle"));
}

TEST_F(Editor, CloseRaisesOnEditCloseThenFrees) {
  ASSERT_EQ(OpenEditor(), 1);
  ClearLog();
  EXPECT_EQ(Dispatch(effect, vst2::effEditClose), 1);
  EXPECT_THAT(Log(), ElementsAre("close handler, form set", "editor freed"));
  EXPECT_EQ(Module().EditorForm(), nullptr);
  ClearLog();
  // Close without an open editor, and idle without one, do nothing.
  EXPECT_EQ(Dispatch(effect, vst2::effEditClose), 0);
  EXPECT_EQ(Dispatch(effect, vst2::effEditIdle), 0);
  EXPECT_TRUE(Log().empty());
}

TEST_F(Editor, OpenWhileOpenReplacesTheWindow) {
  ASSERT_EQ(OpenEditor(), 1);
  ClearLog();
  ASSERT_EQ(OpenEditor(), 1);
  EXPECT_THAT(Log(), ElementsAre("close handler, form set", "editor freed", "open handler, form empty", "editor made",
                                 "attach parent", "repaint"));
  EXPECT_EQ(TTestEditor::Alive(), 1);
}

TEST_F(Editor, WindowThatCannotBePlacedIsClosedAgain) {
  Options().attachFails = true;
  EXPECT_EQ(OpenEditor(), 0);
  EXPECT_THAT(Log(), ElementsAre("open handler, form empty", "editor made", "attach parent", "close handler, form set",
                                 "editor freed"));
  EXPECT_EQ(Module().EditorForm(), nullptr);
}

TEST_F(Editor, NoWindowFromTheHandlerAnswersZero) {
  Options().editOpenReturnsNull = true;
  EXPECT_EQ(OpenEditor(), 0);
  EXPECT_EQ(Module().EditorForm(), nullptr);
  vst2::ERect *rect = nullptr;
  EXPECT_EQ(Dispatch(effect, vst2::effEditGetRect, 0, 0, &rect), 0);
}

TEST_F(Editor, ClosingThePluginFreesTheWindowWithoutOnEditClose) {
  ASSERT_EQ(OpenEditor(), 1);
  ClearLog();
  Close();
  EXPECT_THAT(Log(), ElementsAre("destroy", "editor freed", "deleted"));
}

TEST_F(Editor, HeadlessSelectMarksOnlyTheNextOpen) {
  EXPECT_EQ(vst2::HeadlessDispatch(effect, vst2::kHeadlessRender), 0); // no editor yet
  EXPECT_EQ(vst2::HeadlessDispatch(effect, vst2::kHeadlessSelect), 1);
  ASSERT_EQ(OpenEditor(), 1); // the parent pointer is ignored
  EXPECT_EQ(Log()[2], "attach null headless");
  std::uint32_t pixels[4];
  vst2::HeadlessImage image{pixels, 2, 2};
  EXPECT_EQ(vst2::HeadlessDispatch(effect, vst2::kHeadlessRender, 0, &image), 7);
  EXPECT_EQ(vst2::HeadlessDispatch(effect, vst2::kHeadlessAdvance, 40), 7);
  EXPECT_EQ(Log()[Log().size() - 2], "headless 2 0 ptr");
  EXPECT_EQ(Log().back(), "headless 4 40");
  // Another vendor's request is not ours.
  EXPECT_EQ(Dispatch(effect, vst2::effVendorSpecific, 0x12345678, vst2::kHeadlessRender, &image), 0);
  Dispatch(effect, vst2::effEditClose);
  ClearLog();
  ASSERT_EQ(OpenEditor(), 1);
  EXPECT_EQ(Log()[2], "attach parent");
}

} // namespace
