// A delete that joins a lone CR and a lone LF makes one CR LF line end of
// them. The caret, which stood where the deleted text began, must not be
// left between the two: it goes before the pair, on the row the text was
// deleted from, after the edit and again after undo and redo.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "control_fixture.h"
#include "mirel/cmirel.h"
#include "mirelctrl/mirelctrl.h"

namespace {

enum class Removal { kBackspace, kDeleteKey, kCtrlBackspace, kCut, kDeleteExport };

struct JoinCase {
  const char* pszName;
  int nEncoding;
  Removal removal;
};

class JoinedLineEnd : public mirel_test::ControlTest {
 protected:
  JoinedLineEnd() : ControlTest(31) {}
  void SetUp() override {
    ControlTest::SetUp();
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    SetFocus(m_hCtrl);
  }

  void Remove(Removal removal) {
    switch (removal) {
      case Removal::kBackspace:
        SendMessageA(m_hCtrl, WM_KEYDOWN, VK_BACK, 1);
        break;
      case Removal::kDeleteKey:
        SendMessageA(m_hCtrl, WM_KEYDOWN, VK_DELETE, 1);
        break;
      case Removal::kCtrlBackspace:
        // The caret stands after "b" (the selection's end): the word goes.
        Mirel_SetSel(m_hCtrl, 3 * m_nUnit, 3 * m_nUnit, TRUE);
        SendMessageA(m_hCtrl, WM_MIREL_KEYCOMMAND, VK_BACK, 0x08);
        break;
      case Removal::kCut:
        SendMessageA(m_hCtrl, WM_CUT, 0, 0);
        break;
      case Removal::kDeleteExport:
        Delete(m_hCtrl, 0);
        break;
    }
  }

  int m_nUnit = 1;
};

class CaretAtJoinedLineEnd : public JoinedLineEnd, public testing::WithParamInterface<JoinCase> {};

TEST_P(CaretAtJoinedLineEnd, StandsBeforeThePair) {
  const JoinCase& c = GetParam();
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, "a\rb\nc", 5, TRUE), 1);
  if (c.nEncoding != MIREL_ENCODING_ANSI) {
    ASSERT_EQ(Mirel_SetFileEncoding(m_hCtrl, c.nEncoding), 1);
  }
  m_nUnit = c.nEncoding == MIREL_ENCODING_UTF16LE ? 2 : 1;
  // "b" alone, between the CR and the LF.
  Mirel_SetSel(m_hCtrl, 2 * m_nUnit, 3 * m_nUnit, TRUE);
  Remove(c.removal);
  ASSERT_EQ(Text(), "a\r\nc");
  for (const char* pszStep : {"after the delete", "after undo and redo"}) {
    EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), m_nUnit) << pszStep;
    EXPECT_EQ(Mirel_GetCurrentParagraphIndex(m_hCtrl), 0) << pszStep;
    EXPECT_EQ(Mirel_GetParagraphIndex(m_hCtrl, Mirel_GetCurrentPos(m_hCtrl)), 0) << pszStep;
    SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
    ASSERT_EQ(Text(), "a\rb\nc") << pszStep;
    SendMessageA(m_hCtrl, WM_CHAR, 0x19, 1);  // Ctrl+Y
    ASSERT_EQ(Text(), "a\r\nc") << pszStep;
  }
  // Typing goes after "a", never between the CR and the LF.
  SendMessageA(m_hCtrl, WM_CHAR, 'x', 1);
  EXPECT_EQ(Text(), "ax\r\nc");
}

// An insert that ends with a CR just before an LF has broken the line there:
// the caret goes past the pair, to the start of the next line.
TEST_F(JoinedLineEnd, InsertEndingInCrGoesPastThePair) {
  for (int nEncoding : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8}) {
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    ASSERT_EQ(Mirel_InsertA(m_hCtrl, "a\nc", 3, TRUE), 1);
    if (nEncoding != MIREL_ENCODING_ANSI) {
      ASSERT_EQ(Mirel_SetFileEncoding(m_hCtrl, nEncoding), 1);
    }
    m_nUnit = nEncoding == MIREL_ENCODING_UTF16LE ? 2 : 1;
    Mirel_SetSel(m_hCtrl, m_nUnit, m_nUnit, TRUE);
    ASSERT_EQ(Mirel_InsertA(m_hCtrl, "x\r", 2, TRUE), 1);
    ASSERT_EQ(Text(), "ax\r\nc") << nEncoding;
    EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 4 * m_nUnit) << nEncoding;
    EXPECT_EQ(Mirel_GetCurrentParagraphIndex(m_hCtrl), 1) << nEncoding;
  }
}

const JoinCase kJoinCases[] = {
    {"AnsiBackspace", MIREL_ENCODING_ANSI, Removal::kBackspace},
    {"AnsiDeleteKey", MIREL_ENCODING_ANSI, Removal::kDeleteKey},
    {"AnsiCtrlBackspace", MIREL_ENCODING_ANSI, Removal::kCtrlBackspace},
    {"AnsiCut", MIREL_ENCODING_ANSI, Removal::kCut},
    {"AnsiDeleteExport", MIREL_ENCODING_ANSI, Removal::kDeleteExport},
    {"Utf16Backspace", MIREL_ENCODING_UTF16LE, Removal::kBackspace},
    {"Utf16CtrlBackspace", MIREL_ENCODING_UTF16LE, Removal::kCtrlBackspace},
    {"Utf16Cut", MIREL_ENCODING_UTF16LE, Removal::kCut},
    {"Utf8DeleteKey", MIREL_ENCODING_UTF8, Removal::kDeleteKey},
};

INSTANTIATE_TEST_SUITE_P(Removals, CaretAtJoinedLineEnd, testing::ValuesIn(kJoinCases),
                         [](const testing::TestParamInfo<JoinCase>& info) { return info.param.pszName; });

}  // namespace
