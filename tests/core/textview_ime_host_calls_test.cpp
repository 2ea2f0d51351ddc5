// A composition shown in the text view while the host replaces, converts or
// edits the text under it: the composition ends there, the input method is
// told to cancel it, and nothing the input method sends afterwards writes
// into the host's text at the composition's old offsets.
#include <windows.h>

#include <imm.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "mirelctrl/mirelctrl.h"
#include "test_support.h"

#ifndef _WIN32
#include "platform_hooks.h"

namespace {

const HKL kKorean = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0x04120412));
const std::string kGa = "\xB0\xA1";   // U+AC00 in code page 949
const std::string kGak = "\xB0\xA2";  // U+AC01
constexpr char kText[] = "abcd\r\nefghij";

struct HostCall {
  const char* name;
  std::function<void(HWND)> call;
  std::u16string text;  // the text right after the call
  BOOL bCanUndo;
  BOOL bModified;
};

void PrintTo(const HostCall& row, std::ostream* os) {
  *os << row.name;
}

class ImeHostCallTest : public ::testing::TestWithParam<HostCall> {
 protected:
  void SetUp() override {
    MrwTestResetImm();
    MrwTestImeEnable(TRUE);
    MrwTestSetImeProperty(kKorean, IGP_PROPERTY, IME_PROP_AT_CARET);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MirelImeHostCallParent";
    RegisterClassA(&wc);
    m_hParent = CreateWindowExA(0, wc.lpszClassName, "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                nullptr, wc.hInstance, nullptr);
    ASSERT_NE(m_hParent, nullptr);
    m_hCtrl = Mirel_Create(m_hParent, 1, 0, 0, 300, 200, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(m_hCtrl, nullptr);
    SendMessageA(m_hCtrl, WM_INPUTLANGCHANGE, 0, reinterpret_cast<LPARAM>(kKorean));
    SetFocus(m_hCtrl);
  }
  void TearDown() override {
    if (m_hCtrl != nullptr) Mirel_Destroy(m_hCtrl);
    if (m_hParent != nullptr) DestroyWindow(m_hParent);
    MrwTestResetImm();
  }

  void Compose(const std::string& comp) {
    MRW_IME_COMPOSITION c{comp.c_str(), nullptr, 0, nullptr, 0, static_cast<int>(comp.size())};
    MrwTestImeCompose(m_hCtrl, &c, 0);
  }

  std::u16string Text() {
    const int n = Mirel_GetTextW(m_hCtrl, nullptr, 0, 1000);
    std::vector<WCHAR> buf(static_cast<size_t>(n > 0 ? n : 0) + 1, 0);
    if (n > 0) Mirel_GetTextW(m_hCtrl, buf.data(), 0, 1000);
    return std::u16string(buf.begin(), buf.begin() + (n > 0 ? n : 0));
  }

  HWND m_hParent = nullptr;
  HWND m_hCtrl = nullptr;
};

TEST_P(ImeHostCallTest, CompositionEndsAndLeavesTheHostsTextAlone) {
  MIREL_REQUIRE_STANDIN();
  const HostCall& row = GetParam();
  ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, kText, static_cast<int>(sizeof kText - 1), FALSE), 1);
  Mirel_SetModified(m_hCtrl, FALSE);
  Mirel_SetSel(m_hCtrl, 2, 2, FALSE);
  Compose(kGa);
  ASSERT_EQ(Text(), u"ab\uAC00cd\r\nefghij");

  row.call(m_hCtrl);
  EXPECT_EQ(Text(), row.text);
  EXPECT_EQ(Mirel_CanUndo(m_hCtrl), row.bCanUndo);
  EXPECT_EQ(Mirel_IsModified(m_hCtrl), row.bModified);
  MRW_IME_LOG log{};
  MrwTestImeGetLog(&log);
  EXPECT_EQ(log.dwLastNotifyAction, static_cast<DWORD>(NI_COMPOSITIONSTR));

  // The user goes on composing: a new composition at the caret, which a
  // cancel takes out again; the host's text stays as it was.
  const int nCaret = Mirel_GetCurrentPos(m_hCtrl);
  Compose(kGak);
  MrwTestImeCancel(m_hCtrl);
  EXPECT_EQ(Text(), row.text);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), nCaret);
  EXPECT_EQ(Mirel_CanUndo(m_hCtrl), row.bCanUndo);
  EXPECT_EQ(Mirel_IsModified(m_hCtrl), row.bModified);
}

// A composition the host's own edit overtakes stays in the text as typed, so
// the history still leads back to the text before it.
TEST_P(ImeHostCallTest, UndoingEveryStepGivesBackTheTextBeforeTheComposition) {
  MIREL_REQUIRE_STANDIN();
  const HostCall& row = GetParam();
  ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
  ASSERT_EQ(Mirel_InsertA(m_hCtrl, kText, static_cast<int>(sizeof kText - 1), FALSE), 1);
  Mirel_SetSel(m_hCtrl, 2, 2, FALSE);
  Compose(kGa);
  row.call(m_hCtrl);
  std::u16string before = Text();
  for (int i = 0; i < 8 && Mirel_CanUndo(m_hCtrl); ++i) {
    SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
    before = Text();
  }
  EXPECT_FALSE(Mirel_CanUndo(m_hCtrl));
  // Histories that survive the call lead back to the inserted text; the
  // others start at the call.
  if (row.bCanUndo) {
    EXPECT_EQ(before, u"abcd\r\nefghij");
  }
}

const HostCall kHostCalls[] = {
    {"NewFile", [](HWND h) { Mirel_NewFile(h); }, u"", FALSE, FALSE},
    {"Reset", [](HWND h) { Mirel_Reset(h); }, u"", FALSE, TRUE},
    {"FileEncoding", [](HWND h) { Mirel_SetFileEncoding(h, MIREL_ENCODING_UTF8); }, u"abcd\r\nefghij", FALSE,
     TRUE},
    {"CodePage", [](HWND h) { Mirel_SetCodePage(h, 932); }, u"abcd\r\nefghij", FALSE, FALSE},
    {"HexView", [](HWND h) { Mirel_SetViewType(h, MIREL_VIEW_TYPE_HEX); }, u"ab\uAC00cd\r\nefghij", FALSE,
     TRUE},
    {"DeleteLine", [](HWND h) { Mirel_DeleteLine(h); }, u"efghij", TRUE, TRUE},
};

INSTANTIATE_TEST_SUITE_P(Calls, ImeHostCallTest, ::testing::ValuesIn(kHostCalls),
                         [](const ::testing::TestParamInfo<HostCall>& info) { return info.param.name; });

}  // namespace

#endif  // _WIN32
