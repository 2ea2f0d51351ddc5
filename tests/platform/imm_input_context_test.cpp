// The stand-in's scripted input method: the messages a composition sends, in
// the system's order, and the composition parts ImmGetCompositionString
// reads in code-page bytes and in UTF-16 units.
#include <windows.h>

#include <imm.h>

#include <string>
#include <vector>

#include "user_test_window.h"

#ifndef _WIN32

namespace {

using user_test::Pump;
using user_test::Received;
using user_test::WindowTest;

const std::string kGa = "\xB0\xA1";  // U+AC00 in code page 949
const std::string kHan = "\xC7\xD1";

class ImmInputContextTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    MrwTestResetImm();
    MrwTestImeEnable(TRUE);
  }
  void TearDown() override {
    MrwTestResetImm();
    WindowTest::TearDown();
  }

  std::vector<UINT> ImeMessages(HWND w) {
    return rec().MessagesOf(w, {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION,
                                WM_IME_CHAR, WM_CHAR, WM_IME_NOTIFY});
  }

  // The composition borrows the strings and arrays: they outlive it.
  static MRW_IME_COMPOSITION Comp(const std::string& s, const std::vector<BYTE>& attr = {},
                                  const std::vector<DWORD>& clause = {}, int nCursor = 0) {
    return MRW_IME_COMPOSITION{s.c_str(),
                               attr.empty() ? nullptr : attr.data(),
                               static_cast<int>(attr.size()),
                               clause.empty() ? nullptr : clause.data(),
                               static_cast<int>(clause.size()),
                               nCursor};
  }
};

TEST_F(ImmInputContextTest, CompositionMessagesComeInTheSystemsOrder) {
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  rec().Clear();
  const std::string ga = kGa;
  MRW_IME_COMPOSITION c = Comp(ga);
  MrwTestImeCompose(w, &c, CS_INSERTCHAR);
  MrwTestImeCompose(w, &c, 0);
  const std::vector<Received> comps = rec().Find(w, WM_IME_COMPOSITION);
  ASSERT_EQ(comps.size(), 2u);
  EXPECT_EQ(comps[0].wParam, 0xB0A1u);
  EXPECT_EQ(comps[0].lParam, GCS_COMPSTR | GCS_CURSORPOS | GCS_DELTASTART | CS_INSERTCHAR);
  // Left to the default procedure, the result comes back as WM_IME_CHAR and,
  // in an ANSI window, as WM_CHAR lead byte then trail byte.
  MrwTestImeCommit(w, (kGa + "x").c_str(), nullptr);
  Pump();
  EXPECT_EQ(ImeMessages(w), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,
                                               WM_IME_COMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION,
                                               WM_IME_CHAR, WM_IME_CHAR, WM_CHAR, WM_CHAR, WM_CHAR}));
  const std::vector<Received> chars = rec().Find(w, WM_IME_CHAR);
  ASSERT_EQ(chars.size(), 2u);
  EXPECT_EQ(chars[0].wParam, 0xB0A1u);
  EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>('x'));

  // Cancelling: a composition message without parts, then the end.
  rec().Clear();
  MrwTestImeCompose(w, &c, 0);
  MrwTestImeCancel(w);
  Pump();
  EXPECT_EQ(ImeMessages(w), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,
                                               WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
  EXPECT_EQ(rec().Find(w, WM_IME_COMPOSITION).back().lParam, 0);
}

TEST_F(ImmInputContextTest, PartsAreReadInBytesOrUnitsWithSizesFirst) {
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  const std::string s = kGa + "a" + kHan;
  const std::vector<BYTE> attrs = {1, 1, 0, 2, 2};
  const std::vector<DWORD> clauses = {0, 3, 5};
  MRW_IME_COMPOSITION c = Comp(s, attrs, clauses, 3);
  MrwTestImeCompose(w, &c, 0);
  HIMC h = ImmGetContext(w);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(ImmGetCompositionStringA(h, GCS_COMPSTR, nullptr, 0), 5);
  char a[8] = {};
  EXPECT_EQ(ImmGetCompositionStringA(h, GCS_COMPSTR, a, 2), IMM_ERROR_GENERAL);  // too small
  EXPECT_EQ(ImmGetCompositionStringA(h, GCS_COMPSTR, a, sizeof a), 5);
  EXPECT_EQ(std::string(a, 5), s);
  EXPECT_EQ(ImmGetCompositionStringA(h, GCS_CURSORPOS, nullptr, 0), 3);
  DWORD clause[4] = {};
  EXPECT_EQ(ImmGetCompositionStringA(h, GCS_COMPCLAUSE, clause, sizeof clause), 12);
  EXPECT_EQ(clause[1], 3u);

  // The same in UTF-16 units: sizes stay in bytes, offsets count units.
  WCHAR u[8] = {};
  EXPECT_EQ(ImmGetCompositionStringW(h, GCS_COMPSTR, nullptr, 0), 6);
  EXPECT_EQ(ImmGetCompositionStringW(h, GCS_COMPSTR, u, sizeof u), 6);
  EXPECT_EQ(u[0], 0xAC00);
  EXPECT_EQ(u[1], L'a');
  EXPECT_EQ(u[2], 0xD55C);
  EXPECT_EQ(ImmGetCompositionStringW(h, GCS_CURSORPOS, nullptr, 0), 2);
  BYTE attr[4] = {};
  EXPECT_EQ(ImmGetCompositionStringW(h, GCS_COMPATTR, attr, sizeof attr), 3);
  EXPECT_EQ(attr[0], 1);
  EXPECT_EQ(attr[1], 0);
  EXPECT_EQ(attr[2], 2);
  EXPECT_EQ(ImmGetCompositionStringW(h, GCS_COMPCLAUSE, clause, sizeof clause), 12);
  EXPECT_EQ(clause[1], 2u);
  EXPECT_EQ(clause[2], 3u);
  EXPECT_EQ(ImmGetCompositionStringA(h, GCS_RESULTSTR, nullptr, 0), 0);
  EXPECT_TRUE(ImmReleaseContext(w, h));

  // No attributes or clauses given: no data.
  MRW_IME_COMPOSITION plain = Comp(kGa);
  MrwTestImeCompose(w, &plain, 0);
  h = ImmGetContext(w);
  EXPECT_EQ(ImmGetCompositionStringA(h, GCS_COMPATTR, nullptr, 0), IMM_ERROR_NODATA);
  EXPECT_EQ(ImmGetCompositionStringA(h, GCS_COMPCLAUSE, nullptr, 0), IMM_ERROR_NODATA);
  EXPECT_TRUE(ImmReleaseContext(w, h));
  MRW_IME_LOG log{};
  MrwTestImeGetLog(&log);
  EXPECT_EQ(log.nContextsHeld, 0);

  MrwTestImeEnable(FALSE);
  EXPECT_EQ(ImmGetContext(w), nullptr);
  EXPECT_EQ(ImmGetCompositionStringA(nullptr, GCS_COMPSTR, nullptr, 0), IMM_ERROR_GENERAL);
}

TEST_F(ImmInputContextTest, NotifyCompletesOrCancelsAndOpensCandidates) {
  HWND w = CreateTopLevel(0, 0, 50, 50, 0);
  MRW_IME_COMPOSITION c = Comp(kGa);
  MrwTestImeCompose(w, &c, 0);
  HIMC h = ImmGetContext(w);
  rec().Clear();
  EXPECT_TRUE(ImmNotifyIME(h, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
  std::vector<Received> comps = rec().Find(w, WM_IME_COMPOSITION);
  ASSERT_EQ(comps.size(), 1u);
  EXPECT_EQ(comps[0].lParam, GCS_RESULTSTR);
  EXPECT_EQ(ImmGetCompositionStringA(h, GCS_RESULTSTR, nullptr, 0), 2);
  EXPECT_EQ(ImmGetCompositionStringA(h, GCS_COMPSTR, nullptr, 0), 0);
  EXPECT_EQ(rec().Find(w, WM_IME_ENDCOMPOSITION).size(), 1u);
  // Nothing composed: nothing to complete.
  rec().Clear();
  EXPECT_TRUE(ImmNotifyIME(h, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
  EXPECT_TRUE(rec().Find(w, WM_IME_COMPOSITION).empty());

  // The Korean Hangul/English key opens and closes the input method.
  EXPECT_FALSE(ImmGetOpenStatus(h));
  EXPECT_TRUE(ImmSimulateHotKey(w, IME_KHOTKEY_ENGLISH));
  EXPECT_TRUE(ImmGetOpenStatus(h));
  EXPECT_TRUE(ImmSetCompositionStringA(h, SCS_SETSTR, const_cast<char*>(kHan.data()), 2, nullptr, 0));
  EXPECT_EQ(ImmGetCompositionStringA(h, GCS_COMPSTR, nullptr, 0), 2);
  rec().Clear();
  EXPECT_TRUE(ImmNotifyIME(h, NI_OPENCANDIDATE, 0, 0));
  const std::vector<Received> notes = rec().Find(w, WM_IME_NOTIFY);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].wParam, static_cast<WPARAM>(IMN_OPENCANDIDATE));

  CANDIDATEFORM form{0, CFS_FORCE_POSITION, {5, 6}, {0, 0, 0, 0}};
  EXPECT_TRUE(ImmSetCandidateWindow(h, &form));
  form.dwIndex = 4;
  EXPECT_FALSE(ImmSetCandidateWindow(h, &form));
  EXPECT_FALSE(ImmSetCandidateWindow(h, nullptr));
  MRW_IME_LOG log{};
  MrwTestImeGetLog(&log);
  EXPECT_EQ(log.nCandidateWindowCalls, 1);
  EXPECT_EQ(log.lastCandidateForm.ptCurrentPos.y, 6);
  EXPECT_TRUE(ImmReleaseContext(w, h));
}

}  // namespace

#endif  // _WIN32
