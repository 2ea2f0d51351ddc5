// A wrapped text with line numbers is laid out once when it is loaded: the
// line-number margin is sized for the paragraph count first, so the margin
// step after the layout has nothing to change and no re-wrap follows. An
// edit that changes the number of digits re-wraps once, at the new width.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doc_test_util.h"
#include "textview_keys_fixture.h"

using namespace mirel_keys_test;

namespace {

class LayoutOnce : public KeysTest {
 protected:
  // nParas paragraphs long enough to wrap in the 300-pixel window.
  static std::string Paragraphs(int nParas) {
    std::string text;
    for (int i = 0; i < nParas; ++i) text += "word after word after word after word after word\r\n";
    return text;
  }
  DWORD Layouts() const { return doc.pContents->nFullLayouts; }
  void ExpectFreshRowsAndMargin() {
    const std::vector<mirel_doc_test::Row> rows = mirel_doc_test::RowsOf(doc);
    EXPECT_EQ(rows, mirel_doc_test::RebuiltRows(doc));
    const int nMargin = doc.nLeftMargin;
    doc.CalcLineNoWidth();
    doc.CalcLeftMargin();
    EXPECT_EQ(doc.nLeftMargin, nMargin);
  }
};

TEST_F(LayoutOnce, AWrappedLoadLaysOutOnceWithOrWithoutLineNumbers) {
  struct Case {
    BOOL bLineNo;
    int nWrap;
    int nParas;
    std::string text;
  };
  const Case cases[] = {
      // The margin grows from the three digits of an empty text to four and to five.
      {TRUE, MIREL_WRAP_WORD, 1200, Paragraphs(1200)},
      {TRUE, MIREL_WRAP_CHAR, 12000, Paragraphs(12000)},
      {TRUE, MIREL_WRAP_WORD, 1200, std::string(5000, 'x') + "\r" + Paragraphs(1199)},  // a lone CR
      {FALSE, MIREL_WRAP_WORD, 1200, Paragraphs(1200)},
      {TRUE, MIREL_WRAP_NONE, 1200, Paragraphs(1200)},
  };
  for (const Case& c : cases) {
    Open(MIREL_ENCODING_ANSI, "", c.nWrap);
    doc.EnableLineNo(c.bLineNo);
    ASSERT_EQ(doc.NewFile(), 1);
    const DWORD nBefore = Layouts();
    ASSERT_TRUE(doc.InsertContents(0, reinterpret_cast<const BYTE*>(c.text.data()),
                                   static_cast<DWORD>(c.text.size()), FALSE));
    EXPECT_EQ(Layouts() - nBefore, 1u) << c.nParas << " paragraphs, wrap " << c.nWrap;
    EXPECT_EQ(doc.GetParagraphCount(), c.nParas + 1);
    ExpectFreshRowsAndMargin();
  }
}

TEST_F(LayoutOnce, AnEditThatAddsADigitReWrapsOnceAtTheNewWidth) {
  Open(MIREL_ENCODING_ANSI, "", MIREL_WRAP_WORD);
  doc.EnableLineNo(TRUE);
  const std::string text = Paragraphs(998);
  ASSERT_EQ(doc.NewFile(), 1);
  ASSERT_TRUE(doc.InsertContents(0, reinterpret_cast<const BYTE*>(text.data()),
                                 static_cast<DWORD>(text.size()), FALSE));
  const int nMargin = doc.nLeftMargin;
  const DWORD nBefore = Layouts();
  // Paragraph 1000 appears: the numbers need one more digit.
  ASSERT_TRUE(doc.InsertContents(0, reinterpret_cast<const BYTE*>("\r\n"), 2, FALSE));
  EXPECT_GT(doc.nLeftMargin, nMargin);
  EXPECT_EQ(Layouts() - nBefore, 1u);
  ExpectFreshRowsAndMargin();
  // An edit that keeps the digits lays out no whole text.
  const DWORD nAfter = Layouts();
  ASSERT_TRUE(doc.InsertContents(5, reinterpret_cast<const BYTE*>("more "), 5, FALSE));
  EXPECT_EQ(Layouts(), nAfter);
  ExpectFreshRowsAndMargin();
}

}  // namespace
