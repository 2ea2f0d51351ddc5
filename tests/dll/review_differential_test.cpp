// A randomized differential test of the document through the exported
// functions: a byte model of the text follows every insert, delete, undo and
// redo made on a real control, in several encodings and wrap modes, and must
// equal the file bytes after every step. The display rows must equal a fresh
// layout of the same text, and the caret row must hold the caret.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "control_fixture.h"
#include "mirel/cmirel.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"
#include "test_support.h"

namespace {

// A piece of host text in the three host forms; ansi is empty when the text
// has no code page 949 form.
struct Piece {
  std::u16string wide;
  std::string ansi;
};

std::string Utf8Of(const std::u16string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size()) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string Utf16Of(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

const std::vector<Piece>& Pieces() {
  static const std::vector<Piece> kPieces = {
      {u"a", "a"},
      {u"word ", "word "},
      {u"\r\n", "\r\n"},
      {u"\r", "\r"},
      {u"\n", "\n"},
      {u"\t", "\t"},
      {u"\x0C", "\x0C"},
      {u"\xAC00", "\xB0\xA1"},
      {u"\xD55C\xAE00 ", "\xC7\xD1\xB1\xDB "},
      {u"long line of text that wraps across the narrow window",
       "long line of text that wraps across the narrow window"},
      {u"x\r\ny\r\n", "x\r\ny\r\n"},
      {u"\xD83D\xDE00", ""},  // a surrogate pair
      {u"\x4E0D\x4E0A", ""},  // units whose low bytes are CR and LF
  };
  return kPieces;
}

class ReviewDifferential : public testing::TestWithParam<std::tuple<int, int>> {
 protected:
  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    m_hCtrl = Mirel_Create(m_host.hWnd(), 7, 0, 0, 160, 200, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(m_hCtrl, nullptr);
    m_pdoc = MirelFindDoc(m_hCtrl);
    ASSERT_NE(m_pdoc, nullptr);
    m_nEncoding = std::get<0>(GetParam());
    m_pdoc->nFileEncoding = static_cast<BYTE>(m_nEncoding);
    m_pdoc->nWrapMode = static_cast<BYTE>(std::get<1>(GetParam()));
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
  }
  void TearDown() override { Mirel_Destroy(m_hCtrl); }

  BOOL Wide() const { return m_nEncoding == 2 || m_nEncoding == 3; }

  std::string Bom() const {
    switch (m_nEncoding) {
      case 3:
        return "\xFF\xFE";
      case 5:
        return "\xEF\xBB\xBF";
      default:
        return "";
    }
  }

  // The piece as the document stores it.
  std::string DocBytes(const Piece& p) const {
    if (m_nEncoding == 1) return p.ansi;
    if (Wide()) return Utf16Of(p.wide);
    return Utf8Of(p.wide);
  }

  // Where the control leaves the caret meant for nPos: never between the CR
  // and the LF of a pair an edit joined; after it for an insert, before it
  // for a delete.
  int OffPairMiddle(int nPos, bool bAfterInsert) const {
    const int nUnit = Wide() ? 2 : 1;
    auto unitIs = [&](int k, unsigned ch) {
      if (k < 0 || k + nUnit > static_cast<int>(m_model.size())) return false;
      const unsigned u =
          Wide() ? static_cast<unsigned char>(m_model[k]) | (static_cast<unsigned char>(m_model[k + 1]) << 8)
                 : static_cast<unsigned char>(m_model[k]);
      return u == ch;
    };
    if (!unitIs(nPos - nUnit, '\r') || !unitIs(nPos, '\n')) return nPos;
    return bAfterInsert ? nPos + nUnit : nPos - nUnit;
  }
  bool Usable(const Piece& p) const { return m_nEncoding != 1 || !p.ansi.empty(); }

  // Character starts of the model text (and its end): CR LF, double-byte
  // characters, UTF-8 sequences and surrogate pairs are whole.
  std::vector<int> Boundaries() const {
    std::vector<int> v;
    const std::string& s = m_model;
    const int n = static_cast<int>(s.size());
    int i = 0;
    auto unit = [&](int k) -> unsigned {
      return Wide() ? static_cast<unsigned char>(s[k]) | (static_cast<unsigned char>(s[k + 1]) << 8)
                    : static_cast<unsigned char>(s[k]);
    };
    const int nUnit = Wide() ? 2 : 1;
    while (i < n) {
      v.push_back(i);
      const unsigned u = unit(i);
      int len = nUnit;
      if (u == '\r' && i + nUnit < n && unit(i + nUnit) == '\n') {
        len = 2 * nUnit;
      } else if (Wide()) {
        if (u >= 0xD800 && u <= 0xDBFF && i + 2 < n) len = 4;
      } else if (m_nEncoding == 1) {
        if (u >= 0x81 && u <= 0xFE && i + 1 < n) len = 2;
      } else if (u >= 0xF0) {
        len = 4;
      } else if (u >= 0xE0) {
        len = 3;
      } else if (u >= 0xC0) {
        len = 2;
      }
      i += len;
    }
    v.push_back(n);
    return v;
  }

  std::string FileBytes() const { return mirel_test::ControlFileBytes(m_hCtrl); }

  // The model, the row table and the caret row, after every step.
  void Check(const std::string& what) {
    ASSERT_EQ(FileBytes(), Bom() + m_model) << what;
    ASSERT_EQ(Mirel_GetContentsSize(m_hCtrl), static_cast<int>(m_model.size())) << what;
    const int nCaret = Mirel_GetCurrentPos(m_hCtrl);
    ASSERT_GE(m_pdoc->cli, 0) << what;
    ASSERT_LT(m_pdoc->cli, m_pdoc->nLineCount) << what;
    ASSERT_EQ(m_pdoc->cli, m_pdoc->GetLineFromPos(static_cast<DWORD>(nCaret))) << what << " caret " << nCaret;
    std::vector<MIREL_LINE> rows(m_pdoc->pLines, m_pdoc->pLines + m_pdoc->nLineCount);
    ASSERT_TRUE(m_pdoc->ReloadContents()) << what;
    ASSERT_EQ(static_cast<int>(rows.size()), m_pdoc->nLineCount) << what;
    for (size_t i = 0; i < rows.size(); ++i) {
      const MIREL_LINE& a = rows[i];
      const MIREL_LINE& b = m_pdoc->pLines[i];
      ASSERT_TRUE(a.nStart == b.nStart && a.nPara == b.nPara && a.nSubLine == b.nSubLine &&
                  a.nLen == b.nLen && a.nKind == b.nKind)
          << what << " row " << i << ": " << a.nStart << "/" << b.nStart << " " << a.nLen << "/" << b.nLen;
    }
  }

  int Insert(const Piece& p, int form, BOOL bUndo = TRUE) {
    if (form == 0 && !p.ansi.empty())
      return Mirel_InsertA(m_hCtrl, p.ansi.data(), static_cast<int>(p.ansi.size()), bUndo);
    if (form == 1) {
      const std::string u = Utf8Of(p.wide);
      return Mirel_InsertU(m_hCtrl, u.data(), static_cast<int>(u.size()), bUndo);
    }
    return Mirel_InsertW(m_hCtrl, reinterpret_cast<const WCHAR*>(p.wide.data()),
                         static_cast<int>(p.wide.size()), bUndo);
  }

  void RunTextEdits(bool bSeparate, LONG nMemLimit);

  mirel_test::ControlHost m_host;
  HWND m_hCtrl = nullptr;
  CMirelDoc* m_pdoc = nullptr;
  int m_nEncoding = 1;
  std::string m_model;
};

// Random edits through the exports against the byte model. bSeparate makes
// each command its own undo step; without it the history may merge commands,
// and an undo must then land on an earlier state. nMemLimit > 0 lets the
// history drop its oldest steps.
void ReviewDifferential::RunTextEdits(bool bSeparate, LONG nMemLimit) {
  if (nMemLimit > 0) m_pdoc->undo.nMemLimit = nMemLimit;
  std::mt19937 rng(1234u + static_cast<unsigned>(m_nEncoding * 10 + std::get<1>(GetParam())));
  const std::vector<Piece>& pieces = Pieces();
  // A start text that is not part of the history.
  const Piece seed{u"first line\r\nsecond\tline\r\n\xAC00\r\nend",
                   "first line\r\nsecond\tline\r\n\xB0\xA1\r\nend"};
  m_model = DocBytes(seed);
  ASSERT_EQ(Insert(seed, 2, FALSE), 1);
  ASSERT_FALSE(Mirel_CanUndo(m_hCtrl));
  Check("seed");
  const std::string original = m_model;

  std::vector<std::string> history{m_model};
  size_t nAt = 0;
  size_t nFloor = 0;  // oldest state the history can still return to
  bool bWrapped = false;
  for (int step = 0; step < 1500; ++step) {
    bWrapped = bWrapped || m_pdoc->nLineCount > Mirel_GetParagraphCount(m_hCtrl);
    const int op = static_cast<int>(rng() % 13);
    const std::string what = "step " + std::to_string(step) + " op " + std::to_string(op);
    if (op == 12) {
      // A host group: two inserts and a delete undone and redone as one step.
      Mirel_StartUndoGroup(m_hCtrl);
      bool bEdited = false;
      for (int k = 0; k < 3; ++k) {
        const Piece& p = pieces[rng() % pieces.size()];
        if (!Usable(p)) continue;
        const std::vector<int> b = Boundaries();
        const int a = b[rng() % b.size()];
        Mirel_SetSel(m_hCtrl, a, a, TRUE);
        if (k == 2) {
          const size_t i = static_cast<size_t>(std::find(b.begin(), b.end(), a) - b.begin());
          ASSERT_EQ(Delete(m_hCtrl, 0), 1) << what;
          if (i + 1 < b.size()) {
            m_model.erase(static_cast<size_t>(a), static_cast<size_t>(b[i + 1] - a));
            bEdited = true;
          }
        } else {
          ASSERT_EQ(Insert(p, static_cast<int>(rng() % 3)), 1) << what;
          m_model.insert(static_cast<size_t>(a), DocBytes(p));
          bEdited = true;
        }
      }
      Mirel_EndUndoGroup(m_hCtrl);
      if (!bEdited) continue;
    } else if (op == 11) {
      // A dragged selection dropped elsewhere: one move, one step.
      const std::vector<int> b = Boundaries();
      int s0 = b[rng() % b.size()];
      int s1 = b[rng() % b.size()];
      if (s0 > s1) std::swap(s0, s1);
      const int d = b[rng() % b.size()];
      if (s0 == s1 || (d >= s0 && d <= s1)) continue;
      const int n = s1 - s0;
      const DWORD nAt2 = m_pdoc->MoveBytes(FALSE, static_cast<DWORD>(s0), static_cast<DWORD>(d),
                                           static_cast<DWORD>(n), TRUE);
      const std::string moved = m_model.substr(static_cast<size_t>(s0), static_cast<size_t>(n));
      m_model.erase(static_cast<size_t>(s0), static_cast<size_t>(n));
      const int nDest = d < s0 ? d : d - n;
      m_model.insert(static_cast<size_t>(nDest), moved);
      ASSERT_EQ(static_cast<int>(nAt2), nDest) << what;
      Mirel_SetSel(m_hCtrl, nDest, nDest + n, TRUE);
    } else if (op == 10) {
      // A word deleted from the caret: one contiguous run starting there.
      const std::vector<int> b = Boundaries();
      const int a = b[rng() % b.size()];
      Mirel_SetSel(m_hCtrl, a, a, TRUE);
      ASSERT_EQ(DeleteWord(m_hCtrl), 1) << what;
      const std::string now = FileBytes().substr(Bom().size());
      ASSERT_LE(now.size(), m_model.size()) << what;
      const size_t k = m_model.size() - now.size();
      EXPECT_EQ(k > 0, a < static_cast<int>(m_model.size())) << what;
      ASSERT_EQ(m_model.substr(0, static_cast<size_t>(a)) + m_model.substr(static_cast<size_t>(a) + k), now)
          << what;
      m_model = now;
      ASSERT_EQ(Mirel_GetCurrentPos(m_hCtrl), OffPairMiddle(a, false)) << what;
      if (k == 0) {
        Check(what + " (nothing to delete)");
        continue;
      }
    } else if (op <= 3) {
      // Insert at a caret or over a selection.
      const Piece& p = pieces[rng() % pieces.size()];
      if (!Usable(p)) continue;
      const std::vector<int> b = Boundaries();
      int a = b[rng() % b.size()];
      int c = (rng() % 3 == 0) ? b[rng() % b.size()] : a;
      Mirel_SetSel(m_hCtrl, a, c, TRUE);
      if (a > c) std::swap(a, c);
      const std::string bytes = DocBytes(p);
      ASSERT_EQ(Insert(p, static_cast<int>(rng() % 3)), 1) << what;
      m_model.replace(static_cast<size_t>(a), static_cast<size_t>(c - a), bytes);
      ASSERT_EQ(Mirel_GetCurrentPos(m_hCtrl), OffPairMiddle(a + static_cast<int>(bytes.size()), true))
          << what;
    } else if (op <= 5) {
      // Delete the selection or the character at the caret.
      const std::vector<int> b = Boundaries();
      const size_t k = rng() % b.size();
      int a = b[k];
      int c = (rng() % 2 == 0) ? b[rng() % b.size()] : a;
      Mirel_SetSel(m_hCtrl, a, c, TRUE);
      if (a > c) std::swap(a, c);
      if (a == c) c = k + 1 < b.size() ? b[k + 1] : a;
      if (a == c) {
        ASSERT_EQ(Delete(m_hCtrl, 0), 1) << what;
        Check(what + " (delete at end)");
        continue;
      }
      ASSERT_EQ(Delete(m_hCtrl, 0), 1) << what;
      m_model.erase(static_cast<size_t>(a), static_cast<size_t>(c - a));
      ASSERT_EQ(Mirel_GetCurrentPos(m_hCtrl), OffPairMiddle(a, false)) << what;
    } else if (op <= 7) {
      const BOOL bCan = Mirel_CanUndo(m_hCtrl);
      if (nMemLimit <= 0) {
        ASSERT_EQ(bCan != FALSE, nAt > 0) << what;
      }
      ASSERT_TRUE(!bCan || nAt > nFloor) << what;
      SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
      if (!bCan) {
        nFloor = nAt;
      } else if (bSeparate) {
        --nAt;
      } else {
        const std::string now = FileBytes().substr(Bom().size());
        size_t k = nAt;
        while (k > nFloor && history[k - 1] != now) --k;
        ASSERT_GT(k, nFloor) << what << " (undo to no earlier state)";
        nAt = k - 1;
      }
      m_model = history[nAt];
      Check(what + " (undo)");
      continue;
    } else {
      const BOOL bCan = Mirel_CanRedo(m_hCtrl);
      ASSERT_EQ(bCan != FALSE, nAt + 1 < history.size()) << what;
      SendMessageA(m_hCtrl, WM_MIREL_REDO, 0, 0);
      if (bCan && bSeparate) {
        ++nAt;
      } else if (bCan) {
        const std::string now = FileBytes().substr(Bom().size());
        size_t k = nAt + 1;
        while (k < history.size() && history[k] != now) ++k;
        ASSERT_LT(k, history.size()) << what << " (redo to no later state)";
        nAt = k;
      }
      m_model = history[nAt];
      Check(what + " (redo)");
      continue;
    }
    if (bSeparate) Mirel_SeparateUndo(m_hCtrl);
    history.resize(nAt + 1);
    history.push_back(m_model);
    ++nAt;
    Check(what);
  }
  // The narrow window makes rows wrap whenever a wrap mode is on.
  EXPECT_EQ(bWrapped, std::get<1>(GetParam()) != 0);
  // Undoing everything brings back the start text; redoing everything the last.
  const std::string last = history.back();
  if (bSeparate) {
    // One step at a time, down to the oldest step the history kept.
    while (Mirel_CanUndo(m_hCtrl)) {
      ASSERT_GT(nAt, nFloor);
      SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
      m_model = history[--nAt];
      Check("undo all, at " + std::to_string(nAt));
    }
  } else {
    for (size_t i = 0; i < history.size() + 2; ++i) SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
    nAt = nFloor;
  }
  m_model = history[nAt];
  if (nMemLimit <= 0) {
    ASSERT_EQ(m_model, original);
  }
  Check("undo all");
  EXPECT_FALSE(Mirel_CanUndo(m_hCtrl));
  for (size_t i = 0; i < history.size() + 2; ++i) SendMessageA(m_hCtrl, WM_MIREL_REDO, 0, 0);
  m_model = last;
  Check("redo all");
  EXPECT_FALSE(Mirel_CanRedo(m_hCtrl));

  // The whole text read back in the document's own host form is its bytes.
  const int nLen = static_cast<int>(m_model.size());
  if (Wide()) {
    const int nUnits = Mirel_GetTextW(m_hCtrl, nullptr, 0, nLen);
    std::u16string w(static_cast<size_t>(nUnits), u'\0');
    ASSERT_EQ(Mirel_GetTextW(m_hCtrl, reinterpret_cast<WCHAR*>(&w[0]), 0, nLen), nUnits);
    EXPECT_EQ(Utf16Of(w), m_model);
  } else {
    const int nBytes = m_nEncoding == 1 ? Mirel_GetTextA(m_hCtrl, nullptr, 0, nLen)
                                        : Mirel_GetTextU(m_hCtrl, nullptr, 0, nLen);
    std::string s(static_cast<size_t>(nBytes), '\0');
    ASSERT_EQ(
        m_nEncoding == 1 ? Mirel_GetTextA(m_hCtrl, &s[0], 0, nLen) : Mirel_GetTextU(m_hCtrl, &s[0], 0, nLen),
        nBytes);
    EXPECT_EQ(s, m_model);
  }
}

TEST_P(ReviewDifferential, ModelFollowsEditsUndoAndRedo) {
  RunTextEdits(true, 0);
}

TEST_P(ReviewDifferential, ModelFollowsMergedHistory) {
  RunTextEdits(false, 0);
}

TEST_P(ReviewDifferential, ModelFollowsTrimmedHistory) {
  RunTextEdits(true, 600);
}

// Column blocks: a delete is one step of the history whatever the rows, and
// undo and redo give back exactly the texts before and after it.
TEST_P(ReviewDifferential, ColumnDeleteIsOneStep) {
  if (std::get<1>(GetParam()) != 0) GTEST_SKIP() << "column blocks need wrapping off";
  std::mt19937 rng(7u + static_cast<unsigned>(m_nEncoding));
  const Piece seed{u"alpha\tbeta\r\n\xAC00\xAC00 gamma\r\n\r\nshort\r\na much longer row here\r\nend",
                   "alpha\tbeta\r\n\xB0\xA1\xB0\xA1 gamma\r\n\r\nshort\r\na much longer row here\r\nend"};
  m_model = DocBytes(seed);
  ASSERT_EQ(Insert(seed, 2, FALSE), 1);
  for (int step = 0; step < 150; ++step) {
    const std::string what = "column step " + std::to_string(step);
    const std::vector<int> b = Boundaries();
    const int a = b[rng() % b.size()];
    const int c = b[rng() % b.size()];
    Mirel_SetColumnMode(m_hCtrl, TRUE);
    Mirel_SetSel(m_hCtrl, a, c, TRUE);
    const std::string before = FileBytes();
    ASSERT_EQ(Delete(m_hCtrl, 0), 1) << what;
    Mirel_SetColumnMode(m_hCtrl, FALSE);
    const std::string after = FileBytes();
    m_model = after.substr(Bom().size());
    Check(what);
    if (after == before) continue;
    ASSERT_TRUE(Mirel_CanUndo(m_hCtrl)) << what;
    SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
    m_model = before.substr(Bom().size());
    Check(what + " (undo)");
    SendMessageA(m_hCtrl, WM_MIREL_REDO, 0, 0);
    m_model = after.substr(Bom().size());
    Check(what + " (redo)");
    if (m_model.size() < 40) {
      ASSERT_EQ(Insert(seed, 2, FALSE), 1);
      m_model = FileBytes().substr(Bom().size());
    }
  }
}

// Rows longer than a row record can hold: edits around the forced breaks,
// undone and redone, keep the rows equal to a fresh layout.
TEST_P(ReviewDifferential, VeryLongRowsSurviveEditsUndoAndRedo) {
  if (std::get<1>(GetParam()) > 1) GTEST_SKIP() << "one wrapping mode is enough for the long rows";
  std::mt19937 rng(5u + static_cast<unsigned>(m_nEncoding));
  const Piece seed{std::u16string(70001, u'a') + u"\xAC00" + std::u16string(300, u'b'),
                   std::string(70001, 'a') + "\xB0\xA1" + std::string(300, 'b')};
  m_model = DocBytes(seed);
  ASSERT_EQ(Insert(seed, 2, FALSE), 1);
  Check("long seed");
  const std::vector<Piece>& pieces = Pieces();
  for (int step = 0; step < 20; ++step) {
    const std::string what = "long step " + std::to_string(step);
    const std::vector<int> b = Boundaries();
    // Positions near the forced breaks at 64 KiB and near the ends.
    const int nUnit = Wide() ? 2 : 1;
    const int kNear[] = {0, 0xFFFF, 0x10000, 0x1FFFE, static_cast<int>(m_model.size())};
    const int nWant = kNear[rng() % 5] + static_cast<int>(rng() % 5) * nUnit - 2 * nUnit;
    const int a = *std::min_element(b.begin(), b.end(),
                                    [&](int x, int y) { return std::abs(x - nWant) < std::abs(y - nWant); });
    const Piece& p = pieces[rng() % pieces.size()];
    if (!Usable(p)) continue;
    Mirel_SetSel(m_hCtrl, a, a, TRUE);
    ASSERT_EQ(Insert(p, static_cast<int>(rng() % 3)), 1) << what;
    const std::string before = m_model;
    m_model.insert(static_cast<size_t>(a), DocBytes(p));
    Mirel_SeparateUndo(m_hCtrl);
    Check(what);
    const std::string after = m_model;
    SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
    m_model = before;
    Check(what + " (undo)");
    SendMessageA(m_hCtrl, WM_MIREL_REDO, 0, 0);
    m_model = after;
    Check(what + " (redo)");
  }
}

// The hex view edits the file bytes, the byte-order mark included: inserts,
// deletes, undo and redo at every byte position the host can select.
TEST_P(ReviewDifferential, HexViewModelFollowsEditsUndoAndRedo) {
  std::mt19937 rng(99u + static_cast<unsigned>(m_nEncoding * 10 + std::get<1>(GetParam())));
  const Piece seed{u"ab\r\ncd\r\n", "ab\r\ncd\r\n"};
  ASSERT_EQ(Insert(seed, 2, FALSE), 1);
  m_pdoc->nViewType = MIREL_VIEW_TYPE_HEX;
  std::string file = Bom() + DocBytes(seed);
  ASSERT_EQ(FileBytes(), file);
  const std::string original = file;
  std::vector<std::string> history{file};
  size_t nAt = 0;
  const char* const kBytes[] = {"x", "\r", "\n", "yz", "\xEF", "\xBB\xBF", "\xFF\xFE"};
  for (int step = 0; step < 600; ++step) {
    const int op = static_cast<int>(rng() % 10);
    const std::string what = "hex step " + std::to_string(step) + " op " + std::to_string(op);
    // Host positions reach the text length (the mark is not counted).
    const int nText = Mirel_GetContentsSize(m_hCtrl);
    const int a0 = static_cast<int>(rng() % static_cast<unsigned>(nText + 1));
    const int c0 = rng() % 3 == 0 ? static_cast<int>(rng() % static_cast<unsigned>(nText + 1)) : a0;
    const int a = std::min(a0, c0);
    const int c = std::max(a0, c0);
    if (op <= 3) {
      // Host ANSI text is converted to the document encoding: bytes beyond
      // ASCII go into the ANSI document only.
      std::string bytes = kBytes[rng() % (m_nEncoding == 1 ? 7 : 4)];
      Mirel_SetSel(m_hCtrl, a0, c0, TRUE);
      ASSERT_EQ(Mirel_InsertA(m_hCtrl, bytes.data(), static_cast<int>(bytes.size()), TRUE), 1) << what;
      if (Wide()) bytes = Utf16Of(std::u16string(bytes.begin(), bytes.end()));
      file.replace(static_cast<size_t>(a), static_cast<size_t>(c - a), bytes);
    } else if (op <= 5) {
      Mirel_SetSel(m_hCtrl, a0, c0, TRUE);
      ASSERT_EQ(Delete(m_hCtrl, 0), 1) << what;
      const int n = c > a ? c - a : (a < static_cast<int>(file.size()) ? 1 : 0);
      if (n == 0) continue;
      file.erase(static_cast<size_t>(a), static_cast<size_t>(n));
    } else if (op <= 7) {
      ASSERT_EQ(Mirel_CanUndo(m_hCtrl) != FALSE, nAt > 0) << what;
      SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
      if (nAt > 0) --nAt;
      file = history[nAt];
      ASSERT_EQ(FileBytes(), file) << what << " (undo)";
      continue;
    } else {
      ASSERT_EQ(Mirel_CanRedo(m_hCtrl) != FALSE, nAt + 1 < history.size()) << what;
      SendMessageA(m_hCtrl, WM_MIREL_REDO, 0, 0);
      if (nAt + 1 < history.size()) ++nAt;
      file = history[nAt];
      ASSERT_EQ(FileBytes(), file) << what << " (redo)";
      continue;
    }
    Mirel_SeparateUndo(m_hCtrl);
    history.resize(nAt + 1);
    history.push_back(file);
    ++nAt;
    ASSERT_EQ(FileBytes(), file) << what;
    // The text is the file after the mark the file starts with.
    const BYTE nBom = m_pdoc->pContents->GetBomLength();
    ASSERT_EQ(Mirel_GetContentsSize(m_hCtrl) + nBom, static_cast<int>(file.size())) << what;
  }
  for (size_t i = 0; i < history.size() + 2; ++i) SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
  EXPECT_EQ(FileBytes(), original);
}

INSTANTIATE_TEST_SUITE_P(EncodingsAndWrapModes, ReviewDifferential,
                         testing::Combine(testing::Values(1, 3, 4, 5), testing::Values(0, 1, 2, 3)));

}  // namespace
