// Back from the hex view of a UTF-16 document: whatever byte the hex caret
// and selection stood on (half a unit, the second half of a surrogate pair,
// after a lone byte that hex typing left at the end), the text view's caret,
// selection and caret row are on character starts, and no byte is lost.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "control_fixture.h"
#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

// A key press with modifier bits, as a host sends it.
constexpr UINT kKeyCommand = WM_USER + 200;
constexpr LPARAM kShift = 0x04;
constexpr LPARAM kCtrl = 0x08;

class HexSwitchUtf16 : public mirel_test::ControlTest {
 protected:
  HexSwitchUtf16() : ControlTest(15) {}

  // "a", U+1F600, "b", CR LF, U+1F600, "c": the mark, then the pairs at text
  // 2 and 12.
  void OpenPairs() {
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    if (Mirel_GetFileEncoding(m_hCtrl) != MIREL_ENCODING_UTF16LE) {
      ASSERT_EQ(Mirel_SetFileEncoding(m_hCtrl, MIREL_ENCODING_UTF16LE), 1);
    }
    const WCHAR text[] = {'a', 0xD83D, 0xDE00, 'b', '\r', '\n', 0xD83D, 0xDE00, 'c'};
    ASSERT_EQ(Mirel_InsertW(m_hCtrl, text, 9, TRUE), 1);
    Mirel_SetViewType(m_hCtrl, MIREL_VIEW_TYPE_HEX);
  }
  // The host's selection reaches the text's length; the keys go on to the
  // end of the file.
  void PlaceHexCaret(int nAnchor, int nCaret) {
    Mirel_SetSel(m_hCtrl, nAnchor, nAnchor, FALSE);
    if (nAnchor == nCaret && nCaret <= Mirel_GetContentsSize(m_hCtrl)) return;
    const LPARAM nShift = nAnchor != nCaret ? kShift : 0;
    SendMessageA(m_hCtrl, kKeyCommand, VK_END, kCtrl | nShift);
    for (int n = Mirel_GetFileSize(m_hCtrl); n > nCaret; --n)
      SendMessageA(m_hCtrl, kKeyCommand, VK_LEFT, nShift);
  }
  // Hex typing at the end leaves one byte beyond the last whole unit.
  void AppendLoneByte() {
    PlaceHexCaret(Mirel_GetFileSize(m_hCtrl), Mirel_GetFileSize(m_hCtrl));
    for (char ch : std::string("41")) SendMessageA(m_hCtrl, WM_CHAR, static_cast<BYTE>(ch), 1);
  }
};

TEST_F(HexSwitchUtf16, EveryHexPlaceComesBackOnACharacterStart) {
  struct Case {
    const char* name;
    bool bLoneByte;
    int nHexAnchor, nHexCaret;  // file positions (mark included)
    int nAnchor, nCaret;        // text positions expected
  };
  // Text starts: a 0, pair 2, b 6, CR LF 8, pair 12, c 16, end 18; a lone
  // byte at the end sits at 18 and the caret stops before it, as End does.
  const Case cases[] = {
      {"the second half of a pair", false, 6, 6, 2, 2},
      {"the second byte of a pair", false, 5, 5, 2, 2},
      {"the last byte of a pair", false, 17, 17, 12, 12},
      {"half a unit", false, 3, 3, 0, 0},
      {"between CR and LF", false, 12, 12, 8, 8},
      {"inside the mark", false, 1, 1, 0, 0},
      {"the end", false, 20, 20, 18, 18},
      {"a selection from a pair to half a unit", false, 7, 11, 2, 8},
      {"a selection from a pair to the end", false, 4, 20, 2, 18},
      {"a selection made backward", false, 17, 5, 2, 12},
      {"the lone byte", true, 20, 20, 18, 18},
      {"after the lone byte", true, 21, 21, 18, 18},
      {"a selection over the lone byte", true, 15, 21, 12, 18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenPairs();
    if (c.bLoneByte) AppendLoneByte();
    const std::string bytes = mirel_test::ControlFileBytes(m_hCtrl);
    ASSERT_EQ(bytes.size(), c.bLoneByte ? 21u : 20u);
    PlaceHexCaret(c.nHexAnchor, c.nHexCaret);
    ASSERT_EQ(Mirel_GetCurrentPos(m_hCtrl), c.nHexCaret);
    Mirel_SetViewType(m_hCtrl, MIREL_VIEW_TYPE_TEXT);
    // After a switch the anchor is the selection's start and the caret its end.
    int nStart = -1;
    int nEnd = -1;
    Mirel_GetBlock(m_hCtrl, &nStart, &nEnd);
    EXPECT_EQ(nStart, c.nAnchor);
    EXPECT_EQ(nEnd, c.nCaret);
    EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), c.nCaret);
    const CMirelDoc* pdoc = MirelFindDoc(m_hCtrl);
    ASSERT_NE(pdoc, nullptr);
    const MIREL_LINE& row = pdoc->pLines[pdoc->cli];
    EXPECT_LE(row.nStart, static_cast<DWORD>(c.nCaret));
    EXPECT_GE(row.nStart + row.nLen, static_cast<DWORD>(c.nCaret));
    EXPECT_EQ(mirel_test::ControlFileBytes(m_hCtrl), bytes);
    // Typing replaces the selection with a whole unit at character starts.
    SendMessageA(m_hCtrl, WM_CHAR, 'x', 1);
    std::string expected =
        bytes.substr(0, 2 + c.nAnchor) + std::string("x\0", 2) + bytes.substr(2 + c.nCaret);
    EXPECT_EQ(mirel_test::ControlFileBytes(m_hCtrl), expected);
    EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), c.nAnchor + 2);
  }
}

}  // namespace
