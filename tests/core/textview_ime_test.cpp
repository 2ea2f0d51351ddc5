// The text view's input method, driven through the scripted input method of
// the stand-in: inline compositions (Korean syllables, Japanese clauses, a
// Chinese target range), cancelling, Hanja conversion and WM_IME_CHAR, in
// ANSI (949), UTF-8 and UTF-16 documents, each followed by undo and redo.
#include <windows.h>

#include <imm.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doc_test_util.h"
#include "mirel/mirel.h"
#include "paint_test_util.h"
#include "textview_keys_fixture.h"

#ifndef _WIN32
#include "platform_hooks.h"

namespace {

using mirel_keys_test::KeysTest;

// Keyboard layouts: language in the low word.
const HKL kKorean = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0x04120412));
const HKL kJapanese = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0x04110411));
const HKL kChinese = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0x08040804));

// Code page 949 bytes of the characters the tests type.
const std::string kGa = "\xB0\xA1";     // U+AC00
const std::string kGak = "\xB0\xA2";    // U+AC01
const std::string kNa = "\xB3\xAA";     // U+B098
const std::string kDa = "\xB4\xD9";     // U+B2E4
const std::string kRa = "\xB6\xF3";     // U+B77C
const std::string kRieul = "\xA4\xA9";  // U+3139
const std::string kHan = "\xC7\xD1";    // U+D55C
const std::string kHanja = "\xF9\xDB";  // U+97D3
const std::string kA = "\xAA\xA2";      // hiragana a
const std::string kI = "\xAA\xA4";      // hiragana i
const std::string kNichi = "\xEC\xED";  // U+65E5
const std::string kHon = "\xDC\xE2";    // U+672C
const std::string kNaka = "\xF1\xE9";   // U+4E2D
const std::string kBun = "\xD9\xFE";    // U+6587

class ImeTest : public KeysTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    KeysTest::SetUp();
    MrwTestResetImm();
    MrwTestImeEnable(TRUE);
  }
  void TearDown() override {
    MrwTestResetImm();
    KeysTest::TearDown();
  }

  int Encoding() const { return GetParam(); }

  // Code-page text in the document's encoding, as the system converts it.
  std::string Doc(const std::string& ansi) const {
    if (Encoding() == MIREL_ENCODING_ANSI) return ansi;
    std::vector<WCHAR> wide(ansi.size() + 1, 0);
    const int nUnits = MultiByteToWideChar(949, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    std::string out;
    if (IsWideEncoding(Encoding())) {
      for (int i = 0; i < nUnits; ++i) {
        out.push_back(static_cast<char>(wide[i] & 0xFF));
        out.push_back(static_cast<char>((wide[i] >> 8) & 0xFF));
      }
      return out;
    }
    out.resize(ansi.size() * 3 + 4);
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), nUnits, &out[0], static_cast<int>(out.size()),
                                      nullptr, nullptr);
    out.resize(static_cast<size_t>(std::max(n, 0)));
    return out;
  }
  DWORD DocLen(const std::string& ansi) const { return static_cast<DWORD>(Doc(ansi).size()); }

  void OpenAnsi(const std::string& ansi, HKL hLayout, DWORD dwProperty = IME_PROP_AT_CARET) {
    Open(Encoding(), Doc(ansi));
    MrwTestSetImeProperty(hLayout, IGP_PROPERTY, dwProperty);
    SendMessageA(hEdit, WM_INPUTLANGCHANGE, 0, reinterpret_cast<LPARAM>(hLayout));
    SetFocus(hEdit);
  }

  LRESULT Compose(const std::string& comp, const std::vector<BYTE>& attr = {},
                  const std::vector<DWORD>& clause = {}, int nCursor = -1) {
    MRW_IME_COMPOSITION c{comp.c_str(),
                          attr.empty() ? nullptr : attr.data(),
                          static_cast<int>(attr.size()),
                          clause.empty() ? nullptr : clause.data(),
                          static_cast<int>(clause.size()),
                          nCursor < 0 ? static_cast<int>(comp.size()) : nCursor};
    return MrwTestImeCompose(hEdit, &c, 0);
  }

  void Undo() { SendMessageA(hEdit, WM_UNDO, 0, 0); }
  void Redo() { SendMessageA(hEdit, WM_MIREL_REDO, 0, 0); }

  // Selects from the end of ansiFrom to the end of ansiTo, caret at the end.
  void Select(const std::string& ansiFrom, const std::string& ansiTo) {
    doc.block.Reset(DocLen(ansiFrom), 0, FALSE);
    doc.block.SetCaret(DocLen(ansiTo), 0);
    doc.nCaretPos = static_cast<int>(DocLen(ansiTo));
  }

  // The text, the caret on a row that holds it, the rows a fresh layout gives.
  void ExpectText(const std::string& ansi) {
    EXPECT_EQ(Text(), Doc(ansi));
    ExpectConsistent();
    const std::vector<mirel_doc_test::Row> rows = mirel_doc_test::RowsOf(doc);
    EXPECT_EQ(rows, mirel_doc_test::RebuiltRows(doc));
  }

  // One undo gives the text before, a redo the text after.
  void ExpectUndoRedo(const std::string& ansiBefore, const std::string& ansiAfter) {
    Undo();
    ExpectText(ansiBefore);
    Redo();
    ExpectText(ansiAfter);
  }

  // The composition shown: its text at its place, the caret at its end, and
  // nothing of it in the history.
  void ExpectComposing(DWORD nPos, const std::string& ansi, BOOL bCanUndo = FALSE) {
    EXPECT_EQ(doc.nIMECompPos, static_cast<int>(nPos));
    EXPECT_EQ(doc.nIMECompLen, static_cast<int>(DocLen(ansi)));
    EXPECT_EQ(Text().substr(nPos, DocLen(ansi)), Doc(ansi));
    EXPECT_EQ(Pos(), nPos + DocLen(ansi));
    EXPECT_EQ(doc.undo.CanUndo(), bCanUndo);
  }
};

INSTANTIATE_TEST_SUITE_P(Encodings, ImeTest,
                         ::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE));

TEST_P(ImeTest, KoreanSyllablesComposeInPlaceAndEachCommitIsOneStep) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("ab", kKorean);
  Caret(DocLen("a"));
  const DWORD p = DocLen("a");
  Compose(kGa);
  ExpectComposing(p, kGa);
  EXPECT_EQ(doc.bComposing, 1);
  Compose(kGak);
  ExpectComposing(p, kGak);
  // The next syllable starts in the message that finishes this one.
  MRW_IME_COMPOSITION next{kHan.c_str(), nullptr, 0, nullptr, 0, 2};
  MrwTestImeCommit(hEdit, kGak.c_str(), &next);
  ExpectComposing(p + DocLen(kGak), kHan, TRUE);
  EXPECT_EQ(Text(), Doc("a" + kGak + kHan + "b"));
  MrwTestImeCommit(hEdit, kHan.c_str(), nullptr);
  EXPECT_EQ(doc.nIMECompLen, 0);
  EXPECT_EQ(doc.bComposing, 0);
  ExpectText("a" + kGak + kHan + "b");
  EXPECT_EQ(Pos(), DocLen("a" + kGak + kHan));
  // Attributes and clauses of a Korean composition are not read.
  EXPECT_EQ(doc.pIMEAttr, nullptr);

  Undo();
  ExpectText("a" + kGak + "b");
  Undo();
  ExpectText("ab");
  EXPECT_FALSE(doc.CanUndo());
  Redo();
  ExpectText("a" + kGak + "b");
  Redo();
  ExpectText("a" + kGak + kHan + "b");
  EXPECT_EQ(MrwTestPumpMessages(), 0);  // nothing was left for WM_IME_CHAR
}

// The composition text is in the document without a record while it is
// shown; taken back before its result is recorded, it keeps the history.
TEST_P(ImeTest, CompositionKeepsTheStepsTypedBeforeIt) {
  MIREL_REQUIRE_STANDIN();
  for (BOOL bCommit : {TRUE, FALSE}) {
    SCOPED_TRACE(bCommit ? "committed" : "cancelled");
    OpenAnsi("ab", kKorean);
    Caret(DocLen("a"));
    Type("x y");
    Compose(kGa);
    Compose(kGak);
    if (bCommit) {
      MrwTestImeCommit(hEdit, kGak.c_str(), nullptr);
      ExpectText("ax y" + kGak + "b");
      Undo();
    } else {
      MrwTestImeCancel(hEdit);
    }
    ExpectText("ax yb");
    Undo();
    ExpectText("ax b");
    Undo();
    ExpectText("ab");
    EXPECT_FALSE(doc.CanUndo());
  }
}

TEST_P(ImeTest, CancelPutsBackTheSelectionAndLeavesNoRecord) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("abc", kKorean);
  Select("a", "ab");
  Compose(kGa);
  // The composition replaces the selection.
  ExpectComposing(DocLen("a"), kGa);
  EXPECT_EQ(Text(), Doc("a" + kGa + "c"));
  MrwTestImeCancel(hEdit);
  ExpectText("abc");
  EXPECT_EQ(Pos(), DocLen("a"));
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_FALSE(doc.IsModified());
  Undo();
  ExpectText("abc");
}

// A composition shown is the newest edit, even the first of an empty
// history: Ctrl+Z completes it and takes it back in one step, as WM_UNDO
// does, and nothing is left to redo while it is shown.
TEST_P(ImeTest, UndoKeysTakeAShownCompositionAsTheNewestStep) {
  MIREL_REQUIRE_STANDIN();
  const std::string text = kGa + kNa + kDa;
  const auto ctrlZ = [this] { SendMessageA(hEdit, WM_CHAR, 0x1A, 1); };
  const auto ctrlY = [this] { SendMessageA(hEdit, WM_CHAR, 0x19, 1); };
  for (const bool bSelect : {true, false}) {
    for (const bool bKey : {true, false}) {
      SCOPED_TRACE(std::string(bSelect ? "over a selection" : "at the caret") +
                   (bKey ? ", Ctrl+Z" : ", WM_UNDO"));
      OpenAnsi(text, kKorean);
      if (bSelect) {
        Select(kGa, kGa + kNa);
      } else {
        Caret(DocLen(kGa + kNa));
      }
      const std::string shown = bSelect ? kGa + kRa + kDa : kGa + kNa + kRa + kDa;
      const DWORD nAt = DocLen(bSelect ? kGa : kGa + kNa);
      Compose(kRieul);
      Compose(kRa);
      ExpectComposing(nAt, kRa);
      EXPECT_TRUE(doc.CanUndo());
      EXPECT_FALSE(doc.CanRedo());
      ctrlY();  // nothing to redo: the composition stays
      ExpectComposing(nAt, kRa);
      bKey ? ctrlZ() : Undo();
      ExpectText(text);
      EXPECT_EQ(doc.nIMECompLen, 0);
      EXPECT_FALSE(doc.IsModified());
      EXPECT_FALSE(doc.CanUndo());
      EXPECT_TRUE(doc.CanRedo());
      ctrlY();
      ExpectText(shown);
      EXPECT_TRUE(doc.IsModified());
      // A composition over a redo tail leaves nothing to redo; undone, it
      // goes with what it would have replaced.
      ctrlZ();
      const DWORD nAgain = Pos();
      Compose(kRieul);
      EXPECT_FALSE(doc.CanRedo());
      ctrlY();
      ExpectComposing(nAgain, kRieul);
      ctrlZ();
      ExpectText(text);
      EXPECT_FALSE(doc.IsModified());
    }
  }
}

TEST_P(ImeTest, CommitOverASelectionIsUndoneToTheSelectedText) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("abc", kKorean);
  Select("a", "ab");
  Compose(kGa);
  MrwTestImeCommit(hEdit, kGa.c_str(), nullptr);
  ExpectText("a" + kGa + "c");
  Undo();
  ExpectText("abc");
  EXPECT_FALSE(doc.CanUndo());
  Redo();
  ExpectText("a" + kGa + "c");
}

TEST_P(ImeTest, JapaneseClausesAreMappedToTheDocumentText) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("xy", kJapanese);
  Caret(DocLen("x"));
  const DWORD p = DocLen("x");
  Compose(kA + kI, {0, 0, 0, 0}, {0, 4});
  ExpectComposing(p, kA + kI);
  // Converted: clause one is the target, clause two converted; cursor after
  // the first clause. Offsets come in code-page bytes.
  Compose(kNichi + kHon, {1, 1, 2, 2}, {0, 2, 4}, 2);
  ExpectComposing(p, kNichi + kHon);
  const int n1 = static_cast<int>(DocLen(kNichi));
  const int n2 = static_cast<int>(DocLen(kNichi + kHon));
  ASSERT_NE(doc.pIMEClause, nullptr);
  EXPECT_EQ(doc.pIMEClause[0], 0);
  EXPECT_EQ(doc.pIMEClause[1], n1);
  EXPECT_EQ(doc.pIMEClause[2], n2);
  ASSERT_EQ(doc.nIMEAttrLen, n2);
  for (int i = 0; i < n2; ++i) EXPECT_EQ(doc.pIMEAttr[i], i < n1 ? 1 : 2) << i;
  EXPECT_EQ(doc.nIMECursor, n1);

  // Painted: a thick line under the target clause, a thin one under the other.
  std::vector<MrwDrawOp> lines;
  {
    const mirel_paint_test::Canvas canvas(hEdit, 300, 100, doc.hFont);
    static_cast<CMirelViewText*>(pEdit->pView)
        ->DrawLine(canvas.hdc(), 0, 0, doc.crFore, doc.crBack, FALSE, MIREL_BOOKMARK_FREE, FALSE);
    for (const MrwDrawOp& op : MrwTestDrawLog(canvas.hdc())) {
      if (op.kind == MrwDrawKind::kLine && op.points.size() == 2 && op.points[0].y == doc.nFontHeight &&
          op.points[1].y == doc.nFontHeight)
        lines.push_back(op);
    }
  }
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].penWidth, 2);
  EXPECT_EQ(lines[1].penWidth, 1);
  EXPECT_EQ(lines[1].penStyle, PS_SOLID);
  EXPECT_LT(lines[0].points[1].x, lines[1].points[0].x);

  // Undo completes the composition first, then takes back its result.
  EXPECT_TRUE(doc.CanUndo());
  Undo();
  ExpectText("xy");
  EXPECT_EQ(doc.nIMECompLen, 0);
  EXPECT_EQ(doc.bComposing, 0);
  Redo();
  ExpectText("x" + kNichi + kHon + "y");
  EXPECT_EQ(MrwTestPumpMessages(), 0);
}

TEST_P(ImeTest, ChineseTargetRangeFollowsTheConvertedRun) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("z", kChinese);
  Caret(DocLen("z"));
  const DWORD p = DocLen("z");
  Compose(kNaka + kBun, {0, 0, 1, 1}, {0, 4}, 2);
  ExpectComposing(p, kNaka + kBun);
  EXPECT_TRUE(doc.bIMETarget);
  EXPECT_EQ(doc.nIMETargetStart, static_cast<int>(p + DocLen(kNaka)));
  EXPECT_EQ(doc.nIMETargetEnd, static_cast<int>(p + DocLen(kNaka + kBun)));
  MrwTestImeCommit(hEdit, (kNaka + kBun).c_str(), nullptr);
  EXPECT_FALSE(doc.bIMETarget);
  ExpectText("z" + kNaka + kBun);
  ExpectUndoRedo("z", "z" + kNaka + kBun);
}

TEST_P(ImeTest, HanjaReplacesTheWholeCharacterAtTheCaret) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("a" + kHan + "b", kKorean);
  Caret(DocLen("a"));
  SendMessageA(hEdit, WM_IME_KEYDOWN, VK_HANJA, 1);
  // The whole character is selected, whatever its size in the encoding.
  EXPECT_EQ(SelStart(), DocLen("a"));
  EXPECT_EQ(SelEnd(), DocLen("a" + kHan));
  ExpectConsistent();
  EXPECT_TRUE(doc.bHanjaConvert);
  MRW_IME_LOG log{};
  MrwTestImeGetLog(&log);
  EXPECT_EQ(log.nHotKeyCalls, 1);  // the input method was closed: opened first
  EXPECT_EQ(log.dwLastHotKey, static_cast<DWORD>(IME_KHOTKEY_ENGLISH));
  EXPECT_EQ(log.nSetStringCalls, 1);
  EXPECT_EQ(std::string(log.szLastSetString), kHan);
  EXPECT_EQ(log.dwLastNotifyAction, static_cast<DWORD>(NI_OPENCANDIDATE));
  EXPECT_EQ(log.nContextsHeld, 0);
  // The chosen Hanja arrives through the system as WM_IME_CHAR.
  MrwTestImeCommit(hEdit, kHanja.c_str(), nullptr);
  MrwTestPumpMessages();
  EXPECT_FALSE(doc.bHanjaConvert);
  ExpectText("a" + kHanja + "b");
  EXPECT_EQ(Pos(), DocLen("a" + kHanja));
  ExpectUndoRedo("a" + kHan + "b", "a" + kHanja + "b");
}

TEST_P(ImeTest, HanjaOnASingleByteCharacterDoesNothing) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("ab", kKorean);
  Caret(DocLen("a"));
  SendMessageA(hEdit, WM_IME_KEYDOWN, VK_HANJA, 1);
  EXPECT_FALSE(doc.bHanjaConvert);
  EXPECT_FALSE(doc.block.HasSelection());
  MRW_IME_LOG log{};
  MrwTestImeGetLog(&log);
  EXPECT_EQ(log.nSetStringCalls, 0);
}

TEST_P(ImeTest, ImeCharTypesDoubleByteCharactersAndReplacesTheSelection) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("abc", kKorean);
  const WPARAM han = (static_cast<BYTE>(kHan[0]) << 8) | static_cast<BYTE>(kHan[1]);
  SendMessageA(hEdit, WM_IME_CHAR, han, 1);
  ExpectText(kHan + "abc");
  Select(kHan, kHan + "ab");
  SendMessageA(hEdit, WM_IME_CHAR, 'x', 1);
  ExpectText(kHan + "xc");
  Undo();
  ExpectText(kHan + "abc");
}

TEST_P(ImeTest, VirtualSpaceIsFilledBeforeTheCompositionAndRestoredOnCancel) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("a\r\nbcd", kKorean);
  Caret(DocLen("a"));
  doc.nVirtualSpace = 2;
  Compose(kGa);
  ExpectComposing(DocLen("a  "), kGa);
  EXPECT_EQ(Text(), Doc("a  " + kGa + "\r\nbcd"));
  MrwTestImeCancel(hEdit);
  ExpectText("a\r\nbcd");
  EXPECT_EQ(doc.nVirtualSpace, 2);
  Compose(kGa);
  MrwTestImeCommit(hEdit, kGa.c_str(), nullptr);
  ExpectText("a  " + kGa + "\r\nbcd");
  Undo();
  ExpectText("a\r\nbcd");
}

TEST_P(ImeTest, AnEndWithoutResultDropsTheComposition) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("abc", kJapanese);
  Caret(DocLen("a"));
  doc.SetOverwriteMode(TRUE);
  Compose(kA + kI, {0, 0, 0, 0}, {0, 4});
  // Overwriting: the composition took the place of "b".
  EXPECT_EQ(Text(), Doc("a" + kA + kI + "c"));
  SendMessageA(hEdit, WM_IME_ENDCOMPOSITION, 0, 0);
  ExpectText("abc");
  EXPECT_EQ(Pos(), DocLen("a"));
  EXPECT_EQ(doc.nIMECompLen, 0);
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_FALSE(doc.IsModified());
}

TEST_P(ImeTest, UpdatesStayWhereTheCompositionStartedWhenTheCaretMoves) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("abcd", kKorean);
  Caret(DocLen("ab"));
  Compose(kGa);
  // Something moved the caret away from the composition.
  doc.nCaretPos = 0;
  doc.cli = 0;
  Compose(kGak);
  ExpectComposing(DocLen("ab"), kGak);
  EXPECT_EQ(Text(), Doc("ab" + kGak + "cd"));
  MrwTestImeCancel(hEdit);
  ExpectText("abcd");
}

TEST_P(ImeTest, ReadOnlyDocumentSwallowsCompositionsAndCharacters) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("ab", kKorean);
  doc.SetReadOnly(TRUE);
  Compose(kGa);
  MrwTestImeCommit(hEdit, kGa.c_str(), nullptr);
  SendMessageA(hEdit, WM_IME_CHAR, 'x', 1);
  MrwTestPumpMessages();
  ExpectText("ab");
  EXPECT_EQ(doc.nIMECompLen, 0);
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_FALSE(doc.IsModified());
  SendMessageA(hEdit, WM_IME_KEYDOWN, VK_HANJA, 1);
  EXPECT_FALSE(doc.bHanjaConvert);
}

TEST_P(ImeTest, ShortOrMissingAttributesAndBadClausesAreIgnored) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("", kJapanese);
  // Attributes for half the string, clauses past the end and out of order.
  Compose(kNichi + kHon, {1, 1}, {0, 9, 2, 40}, 99);
  ExpectComposing(0, kNichi + kHon);
  EXPECT_EQ(doc.pIMEAttr, nullptr);
  EXPECT_EQ(doc.nIMEAttrLen, 0);
  ASSERT_NE(doc.pIMEClause, nullptr);
  EXPECT_EQ(doc.pIMEClause[0], 0);
  EXPECT_EQ(doc.pIMEClause[1], static_cast<int>(DocLen(kNichi + kHon)));
  EXPECT_EQ(doc.nIMECursor, static_cast<int>(DocLen(kNichi + kHon)));
  // One clause offset alone is no clause list.
  Compose(kNichi, {1, 1}, {0});
  EXPECT_EQ(doc.pIMEClause, nullptr);
  EXPECT_NE(doc.pIMEAttr, nullptr);
  MrwTestImeCommit(hEdit, kNichi.c_str(), nullptr);
  ExpectText(kNichi);
  EXPECT_EQ(doc.pIMEAttr, nullptr);  // freed when the composition ended
}

TEST_P(ImeTest, AnInputMethodWithItsOwnWindowTypesThroughImeChar) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("ab", kKorean, 0);
  Compose(kGa);
  EXPECT_EQ(doc.nIMECompLen, 0);
  ExpectText("ab");
  MrwTestImeCommit(hEdit, (kGa + kHan).c_str(), nullptr);
  MrwTestPumpMessages();
  ExpectText(kGa + kHan + "ab");
  Undo();
  ExpectText("ab");
}

TEST_P(ImeTest, CandidateWindowStandsUnderTheCompositionCursorOrTheCaret) {
  MIREL_REQUIRE_STANDIN();
  OpenAnsi("x", kJapanese);
  Caret(DocLen("x"));
  Compose(kNichi + kHon, {1, 1, 0, 0}, {0, 2, 4}, 2);
  SendMessageA(hEdit, WM_IME_NOTIFY, IMN_OPENCANDIDATE, 1);
  MRW_IME_LOG log{};
  MrwTestImeGetLog(&log);
  ASSERT_EQ(log.nCandidateWindowCalls, 1);
  EXPECT_EQ(log.lastCandidateForm.dwStyle, static_cast<DWORD>(CFS_FORCE_POSITION));
  const DWORD nCursor = DocLen("x" + kNichi);
  EXPECT_EQ(log.lastCandidateForm.ptCurrentPos.x,
            doc.GetXFromPos(0, nCursor, FALSE) + doc.nLeftMargin - pEdit->nHScrollPos);
  EXPECT_EQ(log.lastCandidateForm.ptCurrentPos.y, doc.nRulerHeight + doc.nFontHeight + 1);
  MrwTestImeCancel(hEdit);

  SendMessageA(hEdit, WM_INPUTLANGCHANGE, 0, reinterpret_cast<LPARAM>(kKorean));
  SendMessageA(hEdit, WM_IME_NOTIFY, IMN_OPENCANDIDATE, 1);
  MrwTestImeGetLog(&log);
  ASSERT_EQ(log.nCandidateWindowCalls, 2);
  POINT caret{};
  GetCaretPos(&caret);
  EXPECT_EQ(log.lastCandidateForm.ptCurrentPos.x, caret.x);
  EXPECT_EQ(log.lastCandidateForm.ptCurrentPos.y, caret.y + doc.nFontHeight);
}

}  // namespace

#endif  // _WIN32
