// The text view paints the find results in the find colours, and a Ctrl
// click on a link opens it without moving the caret.
#include <windows.h>

#include <gtest/gtest.h>

#include "mirel/metablock/cmrmetablock.h"
#include "mirel/metablock/mrmetaranges.h"
#include "textview_paint_fixture.h"

namespace {

using mirel_paint_test::TextViewPaint;

TEST_F(TextViewPaint, FindResultsPaintInTheFindColours) {
  constexpr COLORREF kFindBack = RGB(10, 200, 30);
  Open("  ab    ab  ");
  doc.SetFindHighlightBackColor(kFindBack);
  doc.SetShowFindResult(TRUE);
  doc.SetFindResult(reinterpret_cast<const BYTE*>("  "), 2, MIREL_FIND_MATCHCASE);
  Paint();
  const int lm = doc.nLeftMargin;
  const int wAb = TextWidth("ab");
  // "  " at 0, 4 and 6 (never overlapping), and at 10.
  EXPECT_EQ(Pixel(lm + nSpace / 2, MidY(0)), kFindBack);
  EXPECT_EQ(Pixel(lm + 2 * nSpace + wAb + nSpace / 2, MidY(0)), kFindBack);
  EXPECT_EQ(Pixel(lm + 2 * nSpace + wAb + 3 * nSpace + nSpace / 2, MidY(0)), kFindBack);
  // Edits keep the list in step: the first pair is gone.
  doc.SetSel(0, 1, TRUE);
  ASSERT_EQ(doc.Delete(0), 1);
  doc.SetSel(0, 0, TRUE);
  Paint();
  EXPECT_EQ(Pixel(lm + nSpace / 2, MidY(0)), kBack);
  doc.SetShowFindResult(FALSE);
  Paint();
  EXPECT_EQ(Pixel(lm + nSpace + wAb + nSpace / 2, MidY(0)), kBack);
}

TEST_F(TextViewPaint, LinkUnderAPositionIsFoundWhileLinksAreShown) {
  Open("go http://x.y/z now");
  MrTextRange range{0, 0};
  EXPECT_FALSE(MrFindLinkAt(doc, 5, &range));
  doc.SetShowHyperLink(TRUE);
  ASSERT_TRUE(MrFindLinkAt(doc, 5, &range));
  EXPECT_EQ(range.nStart, 3u);
  EXPECT_EQ(range.nEnd, 15u);
  EXPECT_FALSE(MrFindLinkAt(doc, 17, &range));
}

}  // namespace
