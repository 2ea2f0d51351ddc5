// Edits that join two pieces into one character: a lone high and a lone low
// surrogate, a CR and an LF, a lead byte of code page 949 and a byte that can
// follow it, a UTF-8 lead byte and its continuation bytes. After the edit,
// its undo and its redo, the caret, the block's ends and the caret's row stand
// on character starts as a walk of the text finds them, and typing keeps every
// byte: a removal leaves the caret before the character it joined, an insert
// after the character it completed. A goto never stops on half a UTF-16 unit.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <initializer_list>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "control_fixture.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

constexpr LPARAM kCtrl = 0x08;

// UTF-16 little-endian bytes of the units.
std::string Units(std::initializer_list<unsigned> units) {
  std::string s;
  for (unsigned u : units) {
    s.push_back(static_cast<char>(u & 0xFF));
    s.push_back(static_cast<char>(u >> 8));
  }
  return s;
}

// A document and the two pieces of one character, each a character of its
// own while a comma stands between them.
struct DocCase {
  const char* name;
  int nEncoding;
  std::string first;
  std::string second;
};

const DocCase kDocs[] = {
    {"Utf16Surrogates", MIREL_ENCODING_UTF16LE, Units({0xD83D}), Units({0xDE00})},
    {"Utf16CrLf", MIREL_ENCODING_UTF16LE, Units({'\r'}), Units({'\n'})},
    {"Ansi949", MIREL_ENCODING_ANSI, "\xB0", "\xA1"},
    {"Utf8", MIREL_ENCODING_UTF8, "\xE3", "\x81\x82"},
};

bool IsWide(int nEncoding) {
  return nEncoding == MIREL_ENCODING_UTF16LE;
}

// ASCII text in the document's own form.
std::string Ascii(int nEncoding, const std::string& s) {
  if (!IsWide(nEncoding)) return s;
  std::string w;
  for (char c : s) w += Units({static_cast<unsigned char>(c)});
  return w;
}

// Character starts of a text as a walk finds them (a CR LF pair is one
// character): UTF-16 joins a high surrogate to a low one, code page 949 a
// lead byte to a byte from 0x40 on, UTF-8 a lead byte to the continuation
// bytes it announces. No caret stands after a lone last byte of UTF-16 text.
std::vector<size_t> CharStarts(const std::string& t, int nEncoding) {
  auto byteAt = [&](size_t i) { return static_cast<unsigned char>(t[i]); };
  auto unitAt = [&](size_t i) { return i + 1 < t.size() ? byteAt(i) | byteAt(i + 1) << 8 : 0x10000u; };
  std::vector<size_t> starts;
  for (size_t i = 0; i < t.size();) {
    starts.push_back(i);
    size_t n = 1;
    if (IsWide(nEncoding)) {
      const unsigned u = unitAt(i);
      const unsigned next = unitAt(i + 2);
      n = u == 0x10000u ? 1 : 2;
      if ((u == '\r' && next == '\n') || (u >= 0xD800 && u < 0xDC00 && next >= 0xDC00 && next < 0xE000))
        n = 4;
    } else if (byteAt(i) == '\r') {
      n = i + 1 < t.size() && byteAt(i + 1) == '\n' ? 2 : 1;
    } else if (nEncoding == MIREL_ENCODING_ANSI) {
      n = i + 1 < t.size() && IsDBCSLeadByteEx(949, byteAt(i)) && byteAt(i + 1) >= 0x40 ? 2 : 1;
    } else if (byteAt(i) >= 0xC0) {
      const size_t nWant = byteAt(i) >= 0xF0 ? 4 : byteAt(i) >= 0xE0 ? 3 : 2;
      while (n < nWant && i + n < t.size() && (byteAt(i + n) & 0xC0) == 0x80) ++n;
    }
    i += n;
  }
  if (!IsWide(nEncoding) || t.size() % 2 == 0) starts.push_back(t.size());
  return starts;
}

class JoinedCharacter : public mirel_test::ControlTest {
 protected:
  JoinedCharacter() : ControlTest(33) {}
  void SetUp() override {
    ControlTest::SetUp();
    SetFocus(m_hCtrl);
  }

  void Open(int nEncoding, const std::string& text) {
    m_nEncoding = nEncoding;
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    if (Mirel_GetFileEncoding(m_hCtrl) != nEncoding) {
      ASSERT_EQ(Mirel_SetFileEncoding(m_hCtrl, nEncoding), 1);
    }
    if (nEncoding == MIREL_ENCODING_ANSI) {
      ASSERT_EQ(Mirel_SetCodePage(m_hCtrl, 949), 1);
    }
    ASSERT_EQ(InsertOwn(text), 1);
    ASSERT_EQ(TextBytes(), text);
  }
  // Bytes in the document's own form go in as they are.
  int InsertOwn(const std::string& bytes) {
    const int n = static_cast<int>(bytes.size());
    if (IsWide(m_nEncoding))
      return Mirel_InsertW(m_hCtrl, reinterpret_cast<const WCHAR*>(bytes.data()), n / 2, TRUE);
    if (m_nEncoding == MIREL_ENCODING_UTF8) return Mirel_InsertU(m_hCtrl, bytes.data(), n, TRUE);
    return Mirel_InsertA(m_hCtrl, bytes.data(), n, TRUE);
  }
  // The text's bytes, byte-order mark left out.
  std::string TextBytes() const {
    const std::string file = mirel_test::ControlFileBytes(m_hCtrl);
    const size_t nMark = file.size() - static_cast<size_t>(Mirel_GetContentsSize(m_hCtrl));
    return file.substr(std::min(nMark, file.size()));
  }

  // Caret, block ends and caret row on character starts of the text now.
  void ExpectOnCharStarts(const char* pszWhen) {
    SCOPED_TRACE(pszWhen);
    const std::vector<size_t> starts = CharStarts(TextBytes(), m_nEncoding);
    auto isStart = [&](int n) {
      return n >= 0 && std::find(starts.begin(), starts.end(), static_cast<size_t>(n)) != starts.end();
    };
    const int nCaret = Mirel_GetCurrentPos(m_hCtrl);
    int nStart = -1;
    int nEnd = -1;
    Mirel_GetBlock(m_hCtrl, &nStart, &nEnd);
    EXPECT_TRUE(isStart(nCaret)) << nCaret;
    EXPECT_TRUE(isStart(nStart)) << nStart;
    EXPECT_TRUE(isStart(nEnd)) << nEnd;
    const CMirelDoc* pdoc = MirelFindDoc(m_hCtrl);
    ASSERT_NE(pdoc, nullptr);
    ASSERT_TRUE(pdoc->cli >= 0 && pdoc->cli < pdoc->nLineCount);
    const MIREL_LINE& row = pdoc->pLines[pdoc->cli];
    EXPECT_LE(row.nStart, static_cast<DWORD>(nCaret));
    EXPECT_GE(row.nStart + row.nLen, static_cast<DWORD>(nCaret));
  }
  // The caret where expected, the block collapsed there.
  void ExpectCaret(int nCaret, const char* pszWhen) {
    EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), nCaret) << pszWhen;
    EXPECT_FALSE(Mirel_IsSelected(m_hCtrl)) << pszWhen;
    ExpectOnCharStarts(pszWhen);
  }

  int m_nEncoding = MIREL_ENCODING_ANSI;
};

// ---------------------------------------------------------------------------
// One edit between the two pieces, in each document

// Where the comma between the pieces stands, and the length of the first
// piece (the paste copies it from the text's start).
struct Layout {
  int nComma;
  int nAfterComma;
  int nFirst;
};

// A removal takes the comma out from between the pieces; an insert puts
// the first piece (typed by a host, or pasted from a copy at the text's
// start) right before the second.
struct Road {
  const char* name;
  bool bInsert;
  void (*run)(HWND h, const Layout& at);
};

const Road kRoads[] = {
    {"Backspace", false,
     [](HWND h, const Layout& at) {
       Mirel_SetSel(h, at.nAfterComma, at.nAfterComma, TRUE);
       SendMessageA(h, WM_KEYDOWN, VK_BACK, 1);
     }},
    {"DeleteKey", false,
     [](HWND h, const Layout& at) {
       Mirel_SetSel(h, at.nComma, at.nComma, TRUE);
       SendMessageA(h, WM_KEYDOWN, VK_DELETE, 1);
     }},
    {"CtrlBackspace", false,
     [](HWND h, const Layout& at) {
       Mirel_SetSel(h, at.nAfterComma, at.nAfterComma, TRUE);
       SendMessageA(h, WM_MIREL_KEYCOMMAND, VK_BACK, kCtrl);
     }},
    {"CtrlDelete", false,
     [](HWND h, const Layout& at) {
       Mirel_SetSel(h, at.nComma, at.nComma, TRUE);
       SendMessageA(h, WM_MIREL_KEYCOMMAND, VK_DELETE, kCtrl);
     }},
    {"Cut", false,
     [](HWND h, const Layout& at) {
       Mirel_SetSel(h, at.nComma, at.nAfterComma, TRUE);
       SendMessageA(h, WM_CUT, 0, 0);
     }},
    {"DeleteExport", false,
     [](HWND h, const Layout& at) {
       Mirel_SetSel(h, at.nComma, at.nComma, TRUE);
       EXPECT_EQ(Delete(h, 0), 1);
     }},
    {"DeleteWordExport", false,
     [](HWND h, const Layout& at) {
       Mirel_SetSel(h, at.nComma, at.nComma, TRUE);
       EXPECT_TRUE(DeleteWord(h));
     }},
    {"ReplaceByNothing", false,
     [](HWND h, const Layout& at) {
       Mirel_SetSel(h, at.nComma, at.nAfterComma, TRUE);
       int nPos = 0;
       EXPECT_EQ(Mirel_ReplaceTextA(h, ",", "", 0, TRUE, &nPos, FALSE), 2);
     }},
    {"InsertExport", true, nullptr},  // the fixture inserts in the document's form
    {"Paste", true,
     [](HWND h, const Layout& at) {
       Mirel_SetSel(h, 0, at.nFirst, TRUE);
       SendMessageA(h, WM_COPY, 0, 0);
       Mirel_SetSel(h, at.nComma, at.nAfterComma, TRUE);
       SendMessageA(h, WM_PASTE, 0, 0);
     }},
};

class JoinedByEdit : public JoinedCharacter,
                     public testing::WithParamInterface<std::tuple<size_t, size_t>> {};

std::string NameOf(const testing::TestParamInfo<std::tuple<size_t, size_t>>& info) {
  return std::string(kDocs[std::get<0>(info.param)].name) + kRoads[std::get<1>(info.param)].name;
}

TEST_P(JoinedByEdit, CaretStaysOnCharacterStartsAndTypingKeepsEveryByte) {
  const DocCase& d = kDocs[std::get<0>(GetParam())];
  const Road& road = kRoads[std::get<1>(GetParam())];
  const bool bPaste = road.bInsert && road.run != nullptr;
  const std::string a = Ascii(d.nEncoding, "a");
  const std::string comma = Ascii(d.nEncoding, ",");
  const std::string rest = Ascii(d.nEncoding, ".\r\nz");
  // The paste copies the first piece from the text's start (a dot after it
  // keeps it a character of its own).
  const std::string head = bPaste ? d.first + Ascii(d.nEncoding, ".") + a : a;
  const std::string gap = !road.bInsert ? d.first + comma : bPaste ? comma : std::string();
  const std::string before = head + gap + d.second + rest;
  const std::string after = head + d.first + d.second + rest;
  const int nHead = static_cast<int>(head.size());
  const int nComma = road.bInsert ? nHead : nHead + static_cast<int>(d.first.size());
  const Layout at{nComma, nComma + static_cast<int>(comma.size()), static_cast<int>(d.first.size())};
  // Before the joined character after a removal, after it after an insert.
  const int nCaret = road.bInsert ? static_cast<int>(after.size() - rest.size()) : nHead;

  Open(d.nEncoding, before);
  if (road.run != nullptr) {
    road.run(m_hCtrl, at);
  } else {
    Mirel_SetSel(m_hCtrl, nHead, nHead, TRUE);
    ASSERT_EQ(InsertOwn(d.first), 1);
  }
  ASSERT_EQ(TextBytes(), after);
  ExpectCaret(nCaret, "after the edit");
  SendMessageA(m_hCtrl, WM_CHAR, 'x', 1);
  const std::string x = Ascii(d.nEncoding, "x");
  EXPECT_EQ(TextBytes(),
            after.substr(0, static_cast<size_t>(nCaret)) + x + after.substr(static_cast<size_t>(nCaret)));
  SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
  ASSERT_EQ(TextBytes(), after);

  SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
  EXPECT_EQ(TextBytes(), before);
  ExpectOnCharStarts("after undo");
  SendMessageA(m_hCtrl, WM_MIREL_REDO, 0, 0);
  EXPECT_EQ(TextBytes(), after);
  ExpectCaret(nCaret, "after redo");
}

// Every road in every document, but the word deletion of the export: it takes
// the line end after the comma with it.
std::vector<std::tuple<size_t, size_t>> AllJoins() {
  std::vector<std::tuple<size_t, size_t>> joins;
  for (size_t d = 0; d < std::size(kDocs); ++d) {
    for (size_t r = 0; r < std::size(kRoads); ++r) {
      if (kDocs[d].second != Units({'\n'}) || std::string(kRoads[r].name) != "DeleteWordExport")
        joins.emplace_back(d, r);
    }
  }
  return joins;
}

INSTANTIATE_TEST_SUITE_P(Edits, JoinedByEdit, testing::ValuesIn(AllJoins()), NameOf);

// ---------------------------------------------------------------------------
// The other roads

// Hex typing inserts a unit between the halves of a pair; back in the text
// view, Backspace takes it out again.
TEST_F(JoinedCharacter, BackspaceInTheTextViewJoinsWhatTheHexViewSplit) {
  Open(MIREL_ENCODING_UTF16LE, Units({'a', 0xD83D, 0xDE00, 'b'}));
  Mirel_SetViewType(m_hCtrl, MIREL_VIEW_TYPE_HEX);
  Mirel_SetSel(m_hCtrl, 6, 6, TRUE);  // the mark, "a", the high half
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, "x", 1, TRUE), 1);
  Mirel_SetViewType(m_hCtrl, MIREL_VIEW_TYPE_TEXT);
  ASSERT_EQ(TextBytes(), Units({'a', 0xD83D, 'x', 0xDE00, 'b'}));
  ASSERT_EQ(Mirel_GetCurrentPos(m_hCtrl), 6);
  SendMessageA(m_hCtrl, WM_KEYDOWN, VK_BACK, 1);
  EXPECT_EQ(TextBytes(), Units({'a', 0xD83D, 0xDE00, 'b'}));
  ExpectCaret(2, "after Backspace");
  // Right steps over the whole pair.
  SendMessageA(m_hCtrl, WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 6);
}

// Text put in at the caret down a column (column mode without a block)
// leaves the caret in front of it: a trail byte after a lone lead byte makes
// one character, and the caret goes before it.
TEST_F(JoinedCharacter, ColumnTextAfterALeadByteLeavesTheCaretBeforeTheCharacter) {
  Open(MIREL_ENCODING_ANSI, "a\xB0");
  Mirel_SetColumnMode(m_hCtrl, TRUE);
  ASSERT_TRUE(Mirel_IsColumnMode(m_hCtrl));
  ASSERT_EQ(Mirel_InsertColumnsTextA(m_hCtrl, "A", 1, TRUE), 0);
  EXPECT_EQ(TextBytes(),
            "a\xB0"
            "A");
  ExpectCaret(1, "after the column text");
}

// A goto counts whole characters and stops before a lone last byte of UTF-16
// text, as End does.
TEST_F(JoinedCharacter, GotoStopsOnWholeUnits) {
  struct Case {
    const char* name;
    std::string text;  // UTF-16 text, typed in the hex view when odd
    int nParagraph, nColumn;
    int nCaret;
  };
  const Case cases[] = {
      {"a lone byte alone", std::string("A", 1), 0, 1, 0},
      {"after a unit, before a lone byte", Units({'a'}) + "A", 0, 3, 2},
      {"past the row, before a lone byte", Units({'a'}) + "A", 0, INT_MAX, 2},
      {"a lone byte on the second line", Units({'a', '\r', '\n'}) + "A", 1, 1, 6},
      {"inside a pair", Units({'a', 0xD83D, 0xDE00, 'b'}), 0, 4, 2},
      {"half a unit", Units({'a', 'b'}), 0, 3, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t nWhole = c.text.size() & ~size_t{1};
    Open(MIREL_ENCODING_UTF16LE, c.text.substr(0, nWhole));
    if (nWhole != c.text.size()) {
      Mirel_SetViewType(m_hCtrl, MIREL_VIEW_TYPE_HEX);
      SendMessageA(m_hCtrl, WM_MIREL_KEYCOMMAND, VK_END, kCtrl);
      for (char ch : {'4', '1'}) SendMessageA(m_hCtrl, WM_CHAR, static_cast<BYTE>(ch), 1);
      Mirel_SetViewType(m_hCtrl, MIREL_VIEW_TYPE_TEXT);
    }
    ASSERT_EQ(TextBytes(), c.text);
    Mirel_Goto(m_hCtrl, c.nParagraph, c.nColumn);
    ExpectCaret(c.nCaret, "after the goto");
    EXPECT_EQ(Mirel_GetCurrentParagraphIndex(m_hCtrl), c.nParagraph == INT_MAX ? 0 : c.nParagraph);
  }
}

}  // namespace
