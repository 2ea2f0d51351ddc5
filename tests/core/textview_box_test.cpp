// Typing, Tab, Backspace, Delete and Return on a column block of the text
// view, in ANSI (code page 949), UTF-8 and UTF-16: the text of every row, the
// block left behind, one undo step per command, and caret, row and block
// agreeing with a fresh layout after the command, its undo and its redo.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "doc_test_util.h"
#include "textview_keys_fixture.h"

namespace {

using mirel_keys_test::KeysTest;
using mirel_keys_test::W;

enum class Cmd { kType, kIme, kTab, kTabSpaces, kBack, kDelete, kReturn };

struct BoxCase {
  const char* name;
  std::string rows;         // ASCII rows (a tab allowed), '|' between rows
  int nFirstCol, nLastCol;  // box columns in widths of 'a' from the row start
  bool bCaretOnFirst;
  Cmd cmd;
  std::string expected;  // rows after the command (ASCII, or '#' for the typed Hangul)
  int nCaretCol;         // caret column afterwards, in widths of 'a'
  int RowCount() const { return 1 + static_cast<int>(std::count(rows.begin(), rows.end(), '|')); }
};

class TextViewBox : public KeysTest, public ::testing::WithParamInterface<int> {
 protected:
  // Columns are counted in widths of 'a': the text gets a fixed-pitch font,
  // whose blank is as wide as every letter (a system font need not be).
  void Open(int nEncoding, const std::string& bytes) {
    KeysTest::Open(nEncoding, bytes);
    LOGFONTA lf{};
    lf.lfHeight = -13;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    doc.SetFont(&lf);
  }
  std::string Enc(const std::string& ascii) const {
    std::string s;
    for (char c : ascii) {
      if (c != '#') {
        s += GetParam() == MIREL_ENCODING_UTF16LE ? W(std::string(1, c)) : std::string(1, c);
      } else if (GetParam() == MIREL_ENCODING_ANSI) {
        s += "\xB0\xA1";  // U+AC00 in code page 949
      } else if (GetParam() == MIREL_ENCODING_UTF16LE) {
        s += std::string("\x00\xAC", 2);
      } else {
        s += "\xEA\xB0\x80";
      }
    }
    return s;
  }
  // Rows written with '|' between them, as the text in the encoding.
  std::string Joined(const std::string& rows) const {
    std::string s;
    for (char c : rows) s += c == '|' ? std::string("\r\n") : std::string(1, c);
    return Enc(s);
  }
  int ColX(int nRow, int nCol) {
    const BYTE a = 'a';
    return doc.GetXFromPos(nRow, doc.pLines[nRow].nStart, FALSE) + nCol * doc.GetCharWidth(&a, 1);
  }
  // A column block from one column of the first row to another of the last.
  void Box(int nLastRow, int nFirstCol, int nLastCol, bool bCaretOnFirst) {
    doc.SetColumnMode(TRUE);
    const int nAnchorRow = bCaretOnFirst ? nLastRow : 0;
    const int nCaretRow = bCaretOnFirst ? 0 : nLastRow;
    const int nAnchorCol = bCaretOnFirst ? nLastCol : nFirstCol;
    const int nCaretCol = bCaretOnFirst ? nFirstCol : nLastCol;
    doc.block.Reset(doc.GetPosFromX(nAnchorRow, ColX(nAnchorRow, nAnchorCol), TRUE), nAnchorRow, FALSE);
    const DWORD nCaret = doc.GetPosFromX(nCaretRow, ColX(nCaretRow, nCaretCol), TRUE);
    const int nVirtual = doc.nVirtualSpace;
    doc.block.SetCaret(nCaret, nCaretRow);
    doc.nVirtualSpace = nVirtual;
    doc.nCaretPos = static_cast<int>(nCaret);
    doc.cli = nCaretRow;
  }
  void Run(Cmd cmd) {
    switch (cmd) {
      case Cmd::kType:
        Type("x");
        break;
      case Cmd::kIme:
        SendMessageA(hEdit, WM_IME_CHAR, 0xB0A1, 1);
        break;
      case Cmd::kTab:
      case Cmd::kTabSpaces:
        Type("\t");
        break;
      case Cmd::kBack:
        Key(VK_BACK);
        break;
      case Cmd::kDelete:
        Key(VK_DELETE);
        break;
      case Cmd::kReturn:
        Key(VK_RETURN);
        break;
    }
  }
  // Caret, caret row, block and rows agree with a fresh layout.
  void ExpectFresh() {
    ExpectConsistent();
    EXPECT_EQ(doc.block.nCaretLine, doc.cli);
    EXPECT_EQ(doc.block.nCaretX, doc.GetXFromPos(doc.cli, Pos(), TRUE));
    if (doc.block.IsColumnBlock()) {
      const std::vector<MIREL_BLOCK_ROW> rows(doc.block.pRows, doc.block.pRows + doc.block.nRowCount);
      ASSERT_TRUE(doc.block.BuildColumnRows());
      ASSERT_EQ(rows.size(), static_cast<size_t>(doc.block.nRowCount));
      for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].nStart, doc.block.pRows[i].nStart) << "row " << i;
        EXPECT_EQ(rows[i].nEnd, doc.block.pRows[i].nEnd) << "row " << i;
        EXPECT_EQ(rows[i].nEndVirtual, doc.block.pRows[i].nEndVirtual) << "row " << i;
      }
    }
    const auto rows = mirel_doc_test::RowsOf(doc);
    EXPECT_EQ(rows, mirel_doc_test::RebuiltRows(doc));
  }
};

const BoxCase kCases[] = {
    {"TypeReplacesTheBoxOnEveryRow", "abcdef|abcdef|abcdef", 1, 4, false, Cmd::kType, "axxxef|axxxef|axxxef",
     4},
    {"TypeFillsARowEndingInsideTheBox", "abcdef|ab|abcdef", 1, 3, true, Cmd::kType, "axxdef|axx|axxdef", 1},
    {"TypeFillsARowEndingAtTheBoxLeftEdge", "abcdef|ab|abcdef", 2, 5, false, Cmd::kType,
     "abxxxf|abxxx|abxxxf", 5},
    {"TypePadsARowStartingInVirtualSpace", "abcdef|a|abcdef", 2, 4, false, Cmd::kType, "abxxef|a xx|abxxef",
     4},
    {"TypeReplacesATabInTheBox", "\tab|\tab", 0, 3, false, Cmd::kType, "xab|xab", 1},
    {"TypeOnAZeroWidthColumnPadsShortRows", "abcd|a|abcd", 2, 2, false, Cmd::kType, "abxcd|a x|abxcd", 3},
    {"TypeOnAZeroWidthColumnWithTheCaretOnTop", "abcd|abcd", 1, 1, true, Cmd::kType, "axbcd|axbcd", 2},
    {"AWideCharacterOverANarrowBoxIsStillTyped", "abc|abc", 1, 2, false, Cmd::kIme, "a#c|a#c", -1},
    {"TabInsertsATabOnAZeroWidthColumn", "abcd|abcd", 2, 2, false, Cmd::kTab, "ab\tcd|ab\tcd", -1},
    {"TabInsertsAtTheLeftEdgeOfABox", "abcd|abcd", 1, 3, false, Cmd::kTab, "a\tbcd|a\tbcd", -1},
    {"TabAsSpacesReachesTheNextStop", "abcd|ab|abcd", 2, 2, true, Cmd::kTabSpaces, "ab  cd|ab  |ab  cd", 4},
    {"TabAsSpacesPadsAVirtualRow", "abcdef|a|abcdef", 2, 2, false, Cmd::kTabSpaces, "ab  cdef|a   |ab  cdef",
     4},
    {"BackDeletesBeforeAZeroWidthColumn", "abcd|a|abcd", 2, 2, false, Cmd::kBack, "acd|a|acd", 1},
    {"BackAtTheRowStartsDeletesNothing", "abcd|abcd", 0, 0, true, Cmd::kBack, "abcd|abcd", 0},
    {"BackDeletesTheBox", "abcdef|ab|abcdef", 1, 3, false, Cmd::kBack, "adef|a|adef", 1},
    {"DeleteEmptiesTheBox", "a\tbcd|abcdef", 1, 3, true, Cmd::kDelete, "abcd|adef", 1},
    {"ReturnEmptiesTheBox", "abcdef|abcdef", 2, 5, false, Cmd::kReturn, "abf|abf", 2},
};

TEST_P(TextViewBox, EachCommandIsOneUndoStepAndLeavesAFreshLayout) {
  for (const BoxCase& c : kCases) {
    SCOPED_TRACE(c.name);
    Open(GetParam(), Joined(c.rows));
    const BYTE a = 'a';
    doc.nTabWidth = 4 * doc.GetCharWidth(&a, 1);
    ASSERT_TRUE(doc.ReloadContents());
    doc.bTabToSpace = c.cmd == Cmd::kTabSpaces;
    Box(c.RowCount() - 1, c.nFirstCol, c.nLastCol, c.bCaretOnFirst);
    ASSERT_TRUE(doc.block.IsColumnBlock());
    const std::string before = Text();
    Run(c.cmd);
    const std::string after = Joined(c.expected);
    EXPECT_EQ(after, Text());
    ASSERT_TRUE(doc.block.IsColumnBlock());
    EXPECT_EQ(c.RowCount(), doc.block.nRowCount);
    EXPECT_EQ(c.bCaretOnFirst ? 0 : c.RowCount() - 1, doc.cli);
    if (c.nCaretCol >= 0) {
      EXPECT_EQ(ColX(doc.cli, c.nCaretCol), doc.GetXFromPos(doc.cli, Pos(), TRUE));
    }
    ExpectFresh();
    if (after == before) continue;
    ASSERT_TRUE(doc.Undo(pEdit));
    EXPECT_EQ(before, Text());
    ExpectFresh();
    ASSERT_TRUE(doc.Redo(pEdit));
    EXPECT_EQ(after, Text());
    ExpectFresh();
  }
}

TEST_P(TextViewBox, TypingAgainContinuesOnTheNewBlock) {
  // A zero-width column moves right with every character; a box stays over
  // what was typed into it, so the next character replaces that.
  Open(GetParam(), Enc("abcd\r\na\r\nabcd"));
  Box(2, 2, 2, false);
  Type("xy");
  EXPECT_EQ(Enc("abxycd\r\na xy\r\nabxycd"), Text());
  ExpectFresh();
  Key(VK_BACK);
  EXPECT_EQ(Enc("abxcd\r\na x\r\nabxcd"), Text());
  ExpectFresh();

  Open(GetParam(), Enc("abcdef\r\nabcdef"));
  Box(1, 4, 1, true);
  Type("xy");
  EXPECT_EQ(Enc("ayyyef\r\nayyyef"), Text());
  EXPECT_EQ(0, doc.cli);
  ExpectFresh();
  ASSERT_TRUE(doc.Undo(pEdit));
  EXPECT_EQ(Enc("axxxef\r\naxxxef"), Text());
}

TEST_P(TextViewBox, ReadOnlyOrComposingLeavesTheBox) {
  Open(GetParam(), Enc("abcd\r\nabcd"));
  Box(1, 1, 3, false);
  doc.SetReadOnly(TRUE);
  Type("x");
  Type("\t");
  Key(VK_BACK);
  EXPECT_EQ(Enc("abcd\r\nabcd"), Text());
  doc.SetReadOnly(FALSE);
  doc.nIMECompLen = 1;
  Type("x");
  EXPECT_EQ(Enc("abcd\r\nabcd"), Text());
  doc.nIMECompLen = 0;
  EXPECT_TRUE(doc.block.IsColumnBlock());
}

// How many copies of a typed character a box row takes, in every encoding:
// as many as the same text takes in a double-byte code page, where a narrow
// character is one column and a wide one (Hangul, an ideograph, a character
// beyond the basic plane) two, plus the virtual columns the box covers.
class TextViewBoxCopies : public TextViewBox {
 protected:
  // UTF-8 text in the document's encoding (code page 949 in ANSI).
  std::string InEncoding(const std::string& utf8) const {
    std::vector<WCHAR> w(utf8.size() + 1, 0);
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(),
                                      static_cast<int>(w.size()));
    std::string out(utf8.size() * 2 + 2, '\0');
    if (GetParam() == MIREL_ENCODING_ANSI) {
      const int nBytes =
          WideCharToMultiByte(949, 0, w.data(), n, &out[0], static_cast<int>(out.size()), nullptr, nullptr);
      return out.substr(0, static_cast<size_t>(std::max(nBytes, 0)));
    }
    if (GetParam() != MIREL_ENCODING_UTF16LE) return utf8;
    out.clear();
    for (int i = 0; i < n; ++i) out += {static_cast<char>(w[i] & 0xFF), static_cast<char>(w[i] >> 8)};
    return out;
  }
  // Bytes of the first nChars characters of the UTF-8 text, in the document.
  DWORD PosAfter(const std::string& utf8, int nChars) const {
    size_t i = 0;
    for (int k = 0; i < utf8.size() && ((utf8[i] & 0xC0) == 0x80 || k++ < nChars); ++i) {
    }
    return static_cast<DWORD>(InEncoding(utf8.substr(0, i)).size());
  }
};

struct CopiesCase {
  const char* text;  // UTF-8
  int nCaret;        // the box runs from the start to after this many characters
  int nTabInto;      // >= 0: the tab stop lies three quarters into this character
  bool bWideTyped;   // U+AC00 is typed, else 'Z'
  const char* expected;
  bool bAnsi;  // the text has a form in code page 949
};

const CopiesCase kCopiesCases[] = {
    {"a가b\r\na가b", 7, -1, false, "ZZZb\r\nZZZb", true},  // Hangul
    {"a中b\r\na中b", 7, -1, false, "ZZZb\r\nZZZb", true},  // an ideograph
    {"a😀b\r\na😀b", 7, -1, false, "ZZZb\r\nZZZb", false},   // beyond the basic plane
    {"aé\r\naéb", 7, -1, false, "ZZZ\r\nZZZ", false},      // an accented letter is narrow
    {"a가\r\na가b", 7, -1, false, "ZZZZ\r\nZZZZ", true},   // virtual columns after it
    {"a가b\r\n\tz", 6, 1, false, "ZZZb\r\nZz", true},      // the box ends inside 가
    {"a😀b\r\n\tz", 6, 1, false, "ZZZb\r\nZz", false},      // and inside 😀
    {"abcd\r\nabcd", 10, -1, true, "가가\r\n가가", true},  // a wide typed character
    {"a가b\r\na가b", 7, -1, true, "가b\r\n가b", true},     // over three columns
};

TEST_P(TextViewBoxCopies, ARowTakesTheCopiesItsColumnsHold) {
  for (const CopiesCase& c : kCopiesCases) {
    if (GetParam() == MIREL_ENCODING_ANSI && !c.bAnsi) continue;
    SCOPED_TRACE(c.text);
    Open(GetParam(), InEncoding(c.text));
    if (c.nTabInto >= 0) {
      const int x0 = doc.GetXFromPos(0, PosAfter(c.text, c.nTabInto), FALSE);
      doc.nTabWidth = x0 + (doc.GetXFromPos(0, PosAfter(c.text, c.nTabInto + 1), FALSE) - x0) * 3 / 4;
      ASSERT_TRUE(doc.ReloadContents());
    }
    Caret(PosAfter(c.text, c.nCaret));
    doc.SetColumnMode(TRUE);
    doc.block.Reset(0, 0, FALSE);
    doc.block.SetCaret(Pos(), doc.cli);
    ASSERT_TRUE(doc.block.IsColumnBlock());
    const std::string before = Text();
    if (c.bWideTyped)
      SendMessageA(hEdit, WM_IME_CHAR, 0xB0A1, 1);
    else
      Type("Z");
    EXPECT_EQ(InEncoding(c.expected), Text());
    ExpectFresh();
    ASSERT_TRUE(doc.Undo(pEdit));
    EXPECT_EQ(before, Text());
  }
}

INSTANTIATE_TEST_SUITE_P(Encodings, TextViewBoxCopies,
                         ::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8,
                                           MIREL_ENCODING_UTF8_BOM));

INSTANTIATE_TEST_SUITE_P(Encodings, TextViewBox,
                         ::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == MIREL_ENCODING_ANSI   ? std::string("Ansi")
                                  : info.param == MIREL_ENCODING_UTF8 ? std::string("Utf8")
                                                                      : std::string("Utf16");
                         });

}  // namespace
