// Tab size, line spacing and bytes per hex row: each divides positions
// somewhere, so a value below 1 is refused; accepted values update the
// derived sizes and, with windows, refresh scroll bars, caret and rows.
#include <windows.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "registry_test_util.h"

using namespace mirel_registry_test;

namespace {

const int kBelowOne[] = {0, -1, -4, INT_MIN};

// Tab size, line spacing and bytes per hex row below 1 leave every size as it was.
TEST(SettingsLayoutRefusal, ValuesBelowOneChangeNothing) {
  CMirelDoc doc;
  doc.nFontHeight = 16;
  doc.SetTabSize(8);
  doc.SetLineSpacing(150);
  doc.SetHexCharsPerLine(8);
  const auto sizes = [&doc] {
    return std::vector<int>{doc.GetTabSize(), doc.nTabWidth, doc.nLineSpacing, doc.nLineHeight,
                            doc.nHexBytesPerLine};
  };
  const std::vector<int> before = sizes();
  ASSERT_EQ(before, (std::vector<int>{8, 8 * doc.nAveCharWidth, 150, 24, 8}));
  using Setter = void (CMirelDoc::*)(int);
  for (Setter set : {&CMirelDoc::SetTabSize, &CMirelDoc::SetLineSpacing, &CMirelDoc::SetHexCharsPerLine}) {
    for (int n : kBelowOne) {
      (doc.*set)(n);
      EXPECT_EQ(sizes(), before) << n;
    }
  }
}

TEST(SettingsLayoutNoWindow, LineSpacingScalesTheFontHeightAndNeverReachesZero) {
  CMirelDoc doc;
  doc.nFontHeight = 16;
  doc.SetLineSpacing(150);
  EXPECT_EQ(doc.nLineHeight, 24);
  doc.SetLineSpacing(1);  // 16 * 1 / 100 would be a zero row height
  EXPECT_EQ(doc.nLineHeight, 1);
  doc.SetLineSpacing(INT_MAX);  // no overflow
  EXPECT_GT(doc.nLineHeight, 0);
}

TEST(SettingsLayoutNoWindow, TabSizeFollowsTheAverageWidthWithoutOverflow) {
  CMirelDoc doc;
  doc.nAveCharWidth = 7;
  doc.SetTabSize(3);
  EXPECT_EQ(doc.GetTabSize(), 3);
  EXPECT_EQ(doc.nTabWidth, 21);
  // Sizes past the limit are refused: no tab width can overflow.
  doc.SetTabSize(INT_MAX);
  EXPECT_EQ(doc.GetTabSize(), 3);
  EXPECT_EQ(doc.nTabWidth, 21);
  doc.SetTabSize(MIREL_MAX_TAB_SIZE);
  EXPECT_EQ(doc.nTabWidth, 7 * MIREL_MAX_TAB_SIZE);
}

class SettingsLayoutWithWindow : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    e = std::make_unique<TestEdit>(&doc, &log, "v", CreateChild(1));
    doc.RegisterEdit(&e->edit);
    log.clear();
  }
  CMirelDoc doc;
  CallLog log;
  std::unique_ptr<TestEdit> e;
  const CallLog kRefresh{"v.scrollbars", "v.caret(1,1)", "v.invalidate(2,0,0)"};
};

TEST_F(SettingsLayoutWithWindow, TabSizeMeasuresTheAverageWidthOnTheWindowAndRefreshes) {
  doc.SetTabSize(4);  // the current size: nothing happens
  EXPECT_TRUE(log.empty());

  doc.SetTabSize(6);
  HDC hdc = GetDC(e->edit.hWndEdit);
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(hdc, &tm));
  ReleaseDC(e->edit.hWndEdit, hdc);
  EXPECT_EQ(doc.nTabWidth, 6 * tm.tmAveCharWidth);
  EXPECT_EQ(log, kRefresh);

  log.clear();
  doc.SetTabSize(0);
  EXPECT_EQ(doc.GetTabSize(), 6);
  EXPECT_TRUE(log.empty());
}

TEST_F(SettingsLayoutWithWindow, LineSpacingRefreshesOnlyWhenItChanges) {
  ASSERT_GT(doc.nFontHeight, 0);
  doc.SetLineSpacing(120);
  EXPECT_TRUE(log.empty());
  doc.SetLineSpacing(200);
  EXPECT_EQ(doc.nLineHeight, doc.nFontHeight * 2);
  EXPECT_EQ(log, kRefresh);
  log.clear();
  doc.SetLineSpacing(-5);
  EXPECT_TRUE(log.empty());
}

TEST_F(SettingsLayoutWithWindow, BytesPerHexRowMoveTheCaretRowInTheHexView) {
  ASSERT_EQ(doc.NewFile(), 1);
  const std::string bytes(40, 'x');
  ASSERT_TRUE(doc.InsertContents(0, mirel_doc_test::Bytes(bytes), mirel_doc_test::Len(bytes), FALSE));
  doc.SetHexCharsPerLine(8);  // text view: stored only
  EXPECT_EQ(doc.nHexBytesPerLine, 8);
  EXPECT_TRUE(log.empty());

  doc.nViewType = MIREL_VIEW_TYPE_HEX;
  doc.nCaretPos = 20;
  doc.cli = 2;
  doc.block.SetBoth(4, 0);
  doc.block.SetCaretRaw(20, 2);
  doc.SetHexCharsPerLine(16);
  EXPECT_EQ(doc.cli, 1);
  EXPECT_EQ(doc.block.nAnchorLine, 0);
  EXPECT_EQ(doc.block.nCaretLine, 1);
  EXPECT_EQ(log, kRefresh);
}

}  // namespace
