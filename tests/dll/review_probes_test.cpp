// Host arguments at the edges of the text exports, and what the host hears
// and reads back around an edit.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "control_fixture.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"
#include "test_support.h"

namespace {

class ReviewProbes : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    m_hCtrl = Mirel_Create(m_host.hWnd(), 9, 0, 0, 160, 200, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(m_hCtrl, nullptr);
    m_pdoc = MirelFindDoc(m_hCtrl);
    ASSERT_NE(m_pdoc, nullptr);
  }
  void TearDown() override { Mirel_Destroy(m_hCtrl); }

  void NewFile(int nEncoding, const char* utf8) {
    m_pdoc->nFileEncoding = static_cast<BYTE>(nEncoding);
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    ASSERT_EQ(Mirel_InsertU(m_hCtrl, utf8, static_cast<int>(std::strlen(utf8)), FALSE), 1);
  }

  std::string Text() const { return mirel_test::ControlFileBytes(m_hCtrl); }

  int Modified() const {
    int n = 0;
    for (const mirel_test::CommandRecord& c : m_host.Commands()) n += c.wCode == 1 ? 1 : 0;
    return n;
  }

  mirel_test::ControlHost m_host;
  HWND m_hCtrl = nullptr;
  CMirelDoc* m_pdoc = nullptr;
};

TEST_F(ReviewProbes, WideReadsTakeWholeUnitsAndSizesMatch) {
  NewFile(3, "ab\xEA\xB0\x80\xF0\x9F\x98\x80\r\ncd");  // a, b, U+AC00, surrogate pair, CR LF, c, d
  const int nLen = Mirel_GetContentsSize(m_hCtrl);
  ASSERT_EQ(nLen, 18);
  for (int from = -1; from <= nLen + 1; ++from) {
    for (int to : {from - 1, from, from + 1, from + 3, nLen - 1, nLen, INT_MAX}) {
      const int nNeed = Mirel_GetTextW(m_hCtrl, nullptr, from, to);
      std::u16string buf(static_cast<size_t>(nNeed) + 4, u'#');
      ASSERT_EQ(Mirel_GetTextW(m_hCtrl, reinterpret_cast<WCHAR*>(&buf[0]), from, to), nNeed)
          << from << " " << to;
      EXPECT_EQ(buf[static_cast<size_t>(nNeed)], u'#') << from << " " << to;
      const int nNeedU = Mirel_GetTextU(m_hCtrl, nullptr, from, to);
      std::string u(static_cast<size_t>(nNeedU) + 4, '#');
      ASSERT_EQ(Mirel_GetTextU(m_hCtrl, &u[0], from, to), nNeedU) << from << " " << to;
      EXPECT_EQ(u[static_cast<size_t>(nNeedU)], '#');
      // A surrogate pair is never split.
      for (int i = 0; i < nNeed; ++i) {
        const char16_t c = buf[static_cast<size_t>(i)];
        if (c >= 0xD800 && c <= 0xDBFF) {
          ASSERT_LT(i + 1, nNeed);
          EXPECT_TRUE(buf[static_cast<size_t>(i) + 1] >= 0xDC00 && buf[static_cast<size_t>(i) + 1] <= 0xDFFF);
        }
        EXPECT_FALSE(c >= 0xDC00 && c <= 0xDFFF &&
                     (i == 0 || !(buf[static_cast<size_t>(i) - 1] >= 0xD800 &&
                                  buf[static_cast<size_t>(i) - 1] <= 0xDBFF)));
      }
    }
  }
}

TEST_F(ReviewProbes, InsertRefusesBadLengths) {
  NewFile(1, "abc");
  const WCHAR w[2] = {'x', 0};
  EXPECT_EQ(Mirel_InsertA(m_hCtrl, nullptr, 3, TRUE), 0);
  EXPECT_EQ(Mirel_InsertA(m_hCtrl, "x", -1, TRUE), 0);
  EXPECT_EQ(Mirel_InsertA(m_hCtrl, "x", INT_MIN, TRUE), 0);
  EXPECT_EQ(Mirel_InsertW(m_hCtrl, w, -1, TRUE), 0);
  EXPECT_EQ(Mirel_InsertW(m_hCtrl, w, INT_MIN, TRUE), 0);
  EXPECT_EQ(Mirel_InsertW(m_hCtrl, w, INT_MAX, TRUE), 0);
  EXPECT_EQ(Mirel_InsertU(m_hCtrl, nullptr, 1, TRUE), 0);
  EXPECT_EQ(Text(), "abc");
  EXPECT_FALSE(Mirel_CanUndo(m_hCtrl));
}

TEST_F(ReviewProbes, ParagraphQueriesTakeAnyInt) {
  NewFile(1, "a\r\nb");
  int s = -7;
  int e = -7;
  EXPECT_EQ(Mirel_GetParagraph(m_hCtrl, INT_MAX, &s, &e), 0);
  EXPECT_EQ(Mirel_GetParagraph(m_hCtrl, INT_MIN, &s, &e), 0);
  EXPECT_EQ(Mirel_GetParagraph(m_hCtrl, 1, &s, &e), 1);
  EXPECT_EQ(s, 3);
  EXPECT_EQ(e, 4);
  EXPECT_EQ(Mirel_GetParagraphIndex(m_hCtrl, INT_MAX), 1);
}

TEST_F(ReviewProbes, OddWideSelectionDeletesWholeUnits) {
  NewFile(3, "abcd");
  Mirel_SetSel(m_hCtrl, 1, 5, TRUE);
  ASSERT_EQ(Delete(m_hCtrl, 0), 1);
  const std::string t = Text();
  EXPECT_EQ(t.size() % 2, 0u);
  EXPECT_EQ(t.substr(0, 2), "\xFF\xFE");
  // Odd caret: the unit that holds it goes.
  Mirel_SetSel(m_hCtrl, INT_MAX, INT_MAX, TRUE);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), Mirel_GetContentsSize(m_hCtrl));
  EXPECT_EQ(Mirel_InsertA(m_hCtrl, "z", 1, TRUE), 1);
  EXPECT_EQ(Text().substr(Text().size() - 2), std::string("z\0", 2));
}

TEST_F(ReviewProbes, OneModifiedNotificationPerChangeOfState) {
  NewFile(1, "abc");
  Mirel_SetModified(m_hCtrl, FALSE);
  m_host.ClearCommands();
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, "xy", 2, TRUE), 1);
  EXPECT_EQ(Modified(), 1);
  EXPECT_TRUE(Mirel_IsModified(m_hCtrl));
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, "z", 1, TRUE), 1);
  EXPECT_EQ(Modified(), 1);
  Mirel_SeparateUndo(m_hCtrl);
  SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
  EXPECT_FALSE(Mirel_IsModified(m_hCtrl));
  EXPECT_EQ(Modified(), 2);
  SendMessageA(m_hCtrl, WM_MIREL_REDO, 0, 0);
  EXPECT_TRUE(Mirel_IsModified(m_hCtrl));
  EXPECT_EQ(Modified(), 3);
}

TEST_F(ReviewProbes, NewFileAndResetStartClean) {
  NewFile(5, "one\r\ntwo\r\nthree");
  Mirel_SetSel(m_hCtrl, 2, 8, TRUE);
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, "X", 1, TRUE), 1);
  Mirel_Reset(m_hCtrl);
  EXPECT_EQ(Text(), "\xEF\xBB\xBF");
  EXPECT_FALSE(Mirel_CanUndo(m_hCtrl));
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 0);
  EXPECT_EQ(m_pdoc->cli, 0);
  EXPECT_EQ(m_pdoc->nLineCount, 1);
  EXPECT_FALSE(Mirel_IsSelected(m_hCtrl));
}

TEST_F(ReviewProbes, UndoAfterUnrecordedShrinkStaysInTheText) {
  NewFile(4, "0123456789abcdef");
  Mirel_SetSel(m_hCtrl, 16, 16, TRUE);
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, "ghij", 4, TRUE), 1);
  Mirel_SeparateUndo(m_hCtrl);
  Mirel_SetSel(m_hCtrl, 0, 12, TRUE);
  ASSERT_EQ(Delete(m_hCtrl, 0), 1);  // recorded
  {
    // An unrecorded edit forgets the history; kept here on purpose, so that
    // the records no longer fit and the replay must step over them.
    CMrKeepUndoHistory keep(*m_pdoc);
    ASSERT_TRUE(m_pdoc->DeleteContents(0, 6, FALSE));
  }
  for (int i = 0; i < 4; ++i) SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
  // The removal goes back in; the insertion past the shorter text is stepped over.
  EXPECT_EQ(Text(), "0123456789abij");
  for (int i = 0; i < 4; ++i) SendMessageA(m_hCtrl, WM_MIREL_REDO, 0, 0);
  EXPECT_EQ(Text(), "ij");
  EXPECT_LE(Mirel_GetCurrentPos(m_hCtrl), Mirel_GetContentsSize(m_hCtrl));
  EXPECT_EQ(m_pdoc->cli, m_pdoc->GetLineFromPos(static_cast<DWORD>(Mirel_GetCurrentPos(m_hCtrl))));
  EXPECT_EQ(Text().size(), static_cast<size_t>(Mirel_GetContentsSize(m_hCtrl)));
}

// What the host reads back from inside its modified notification: the edit is
// complete, caret and caret row included.
struct SeenAtNotify {
  int nCaret;
  int nSize;
  int nCli;
  int nRowOfCaret;
};
std::vector<SeenAtNotify>* g_pSeenAtNotify = nullptr;
HWND g_hWatchedCtrl = nullptr;
WNDPROC g_pfnHostProc = nullptr;

LRESULT CALLBACK NotifySpyProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_COMMAND && HIWORD(wParam) == 1 && g_pSeenAtNotify != nullptr &&
      Mirel_IsModified(g_hWatchedCtrl)) {
    CMirelDoc* pdoc = MirelFindDoc(g_hWatchedCtrl);
    const int nCaret = Mirel_GetCurrentPos(g_hWatchedCtrl);
    g_pSeenAtNotify->push_back(SeenAtNotify{nCaret, Mirel_GetContentsSize(g_hWatchedCtrl), pdoc->cli,
                                            pdoc->GetLineFromPos(static_cast<DWORD>(nCaret))});
    // A host may repaint the control at once.
    RedrawWindow(g_hWatchedCtrl, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  return CallWindowProcA(g_pfnHostProc, hWnd, uMsg, wParam, lParam);
}

TEST_F(ReviewProbes, ModifiedNotificationComesAfterTheCaretIsPlaced) {
  NewFile(1, "line one\r\nline two\r\nline three");
  std::vector<SeenAtNotify> seen;
  g_pSeenAtNotify = &seen;
  g_hWatchedCtrl = m_hCtrl;
  g_pfnHostProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(m_host.hWnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NotifySpyProc)));
  const int nLen = Mirel_GetContentsSize(m_hCtrl);
  // Select all with the caret at the end, then delete.
  Mirel_SetModified(m_hCtrl, FALSE);
  Mirel_SetSel(m_hCtrl, 0, nLen, TRUE);
  ASSERT_EQ(Delete(m_hCtrl, 0), 1);
  // Insert a text and replace it, with the caret at the end.
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, "a\r\nb\r\nc", 7, TRUE), 1);
  Mirel_SetModified(m_hCtrl, FALSE);
  Mirel_SetSel(m_hCtrl, 0, 7, TRUE);
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, "z", 1, TRUE), 1);
  // A word deleted from under the caret at the end of a longer text.
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, " end\r\nlast", 10, TRUE), 1);
  Mirel_SetModified(m_hCtrl, FALSE);
  Mirel_SetSel(m_hCtrl, 7, 7, TRUE);
  ASSERT_EQ(DeleteWord(m_hCtrl), 1);
  SetWindowLongPtrA(m_host.hWnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnHostProc));
  g_pSeenAtNotify = nullptr;
  ASSERT_EQ(seen.size(), 3u);
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_LE(seen[i].nCaret, seen[i].nSize) << i;
    EXPECT_EQ(seen[i].nCli, seen[i].nRowOfCaret) << i;
  }
  EXPECT_EQ(seen[0].nCaret, 0);
  EXPECT_EQ(seen[1].nCaret, 1);
}

// A lead byte without its trail byte (cut by a line end or by the end of the
// text) is still text: the reads give every other character around it.
TEST_F(ReviewProbes, LoneLeadBytesDoNotEmptyTheWholeRead) {
  m_pdoc->nFileEncoding = MIREL_ENCODING_ANSI;
  ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
  const std::string text = "ab\xB0\r\ncd\xB0";
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, text.data(), static_cast<int>(text.size()), FALSE), 1);
  const int nLen = static_cast<int>(text.size());
  const int nUnits = Mirel_GetTextW(m_hCtrl, nullptr, 0, nLen);
  EXPECT_GE(nUnits, 6);
  std::u16string w(static_cast<size_t>(nUnits), u'\0');
  ASSERT_EQ(Mirel_GetTextW(m_hCtrl, reinterpret_cast<WCHAR*>(&w[0]), 0, nLen), nUnits);
  EXPECT_EQ(w.substr(0, 2), u"ab");
  EXPECT_NE(w.find(u"\r\ncd"), std::u16string::npos);
  const int nBytes = Mirel_GetTextU(m_hCtrl, nullptr, 0, nLen);
  EXPECT_GE(nBytes, 6);
}

// A dropped selection is one change to the host: it never sees the text with
// both copies of the moved bytes.
std::vector<std::string>* g_pTextAtNotify = nullptr;

LRESULT CALLBACK TextSpyProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_COMMAND && HIWORD(wParam) == 1 && g_pTextAtNotify != nullptr) {
    const int n = Mirel_GetContentsSize(g_hWatchedCtrl);
    std::string s(static_cast<size_t>(n), '\0');
    if (n > 0) Mirel_GetTextA(g_hWatchedCtrl, &s[0], 0, n);
    g_pTextAtNotify->push_back(s);
  }
  return CallWindowProcA(g_pfnHostProc, hWnd, uMsg, wParam, lParam);
}

TEST_F(ReviewProbes, MovedBytesAreNotifiedOnceInPlace) {
  NewFile(1, "abcdefgh");
  Mirel_SetModified(m_hCtrl, FALSE);
  std::vector<std::string> seen;
  g_pTextAtNotify = &seen;
  g_hWatchedCtrl = m_hCtrl;
  g_pfnHostProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(m_host.hWnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextSpyProc)));
  EXPECT_EQ(m_pdoc->MoveBytes(FALSE, 0, 8, 3, TRUE), 5u);
  SetWindowLongPtrA(m_host.hWnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnHostProc));
  g_pTextAtNotify = nullptr;
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], "defghabc");
}

}  // namespace
