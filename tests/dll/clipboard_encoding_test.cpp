// Through the exports and the real clipboard: copy and paste by message in
// every text encoding, text put there by another process in CF_UNICODETEXT
// only, and files kept in their own encoding and read back byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "control_fixture.h"
#include "mirelctrl/mirelctrl.h"

namespace {

using WString = std::basic_string<WCHAR>;

// Hangul, a character outside the basic plane, NUL, CR LF and a lone CR.
const WCHAR kSample[] = {0xD55C, 'A', 0xD83D, 0xDE00, 0, '\r', '\n', 0xAE00, '\r', 'z'};

WString Sample() {
  return WString(kSample, kSample + sizeof(kSample) / sizeof(kSample[0]));
}

// Text as an ANSI document in the system code page holds it.
WString ThroughAnsi(const WString& s) {
  if (s.empty()) return s;
  const int n =
      WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string a(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), &a[0], n, nullptr, nullptr);
  const int m = MultiByteToWideChar(CP_ACP, 0, a.data(), n, nullptr, 0);
  WString w(static_cast<size_t>(m), 0);
  MultiByteToWideChar(CP_ACP, 0, a.data(), n, &w[0], m);
  return w;
}

class ClipboardExports : public testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    m_hCtrl = Mirel_Create(m_host.hWnd(), 21, 0, 0, 300, 200, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(m_hCtrl, nullptr);
    ASSERT_EQ(Mirel_SetFileEncoding(m_hCtrl, GetParam()), GetParam() == MIREL_ENCODING_ANSI ? 0 : 1);
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
  }
  void TearDown() override { Mirel_Destroy(m_hCtrl); }

  WString Expected(const WString& s) const { return GetParam() == MIREL_ENCODING_ANSI ? ThroughAnsi(s) : s; }
  WString AllText() {
    const int nSize = Mirel_GetContentsSize(m_hCtrl);
    const int nUnits = Mirel_GetTextW(m_hCtrl, nullptr, 0, nSize);
    WString w(static_cast<size_t>(nUnits), 0);
    if (nUnits > 0) Mirel_GetTextW(m_hCtrl, &w[0], 0, nSize);
    return w;
  }
  WString ClipboardUnicode() {
    WString w;
    if (!OpenClipboard(m_host.hWnd())) return w;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
      const WCHAR* p = static_cast<const WCHAR*>(GlobalLock(h));
      const size_t nMax = GlobalSize(h) / sizeof(WCHAR);
      size_t n = 0;
      while (n < nMax && p[n] != 0) ++n;
      w.assign(p, p + n);
      GlobalUnlock(h);
    }
    CloseClipboard();
    return w;
  }

  mirel_test::ControlHost m_host;
  HWND m_hCtrl = nullptr;
};

TEST_P(ClipboardExports, CopyAndPasteByMessageMoveEveryCharacterAcross) {
  // Without the NUL: clipboard text ends there for every program.
  WString text = Sample();
  text.erase(4, 1);
  ASSERT_EQ(Mirel_InsertW(m_hCtrl, text.data(), static_cast<int>(text.size()), TRUE), 1);
  const WString want = Expected(text);
  ASSERT_EQ(AllText(), want);
  const int nSize = Mirel_GetContentsSize(m_hCtrl);
  Mirel_SetSel(m_hCtrl, 0, nSize, TRUE);
  SendMessageA(m_hCtrl, WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardUnicode(), want);
  EXPECT_TRUE(Mirel_CanPaste(m_hCtrl));
  Mirel_SetSel(m_hCtrl, nSize, nSize, TRUE);
  SendMessageA(m_hCtrl, WM_PASTE, 0, 0);
  EXPECT_EQ(AllText(), want + want);
  // Cut takes it away again as one undo step.
  Mirel_SetSel(m_hCtrl, nSize, Mirel_GetContentsSize(m_hCtrl), TRUE);
  SendMessageA(m_hCtrl, WM_CUT, 0, 0);
  EXPECT_EQ(AllText(), want);
  SendMessageA(m_hCtrl, WM_UNDO, 0, 0);
  EXPECT_EQ(AllText(), want + want);
}

TEST_P(ClipboardExports, ReencodingKeepsEveryCharacterAndTheFileBytes) {
  const WString text = Sample();
  ASSERT_EQ(Mirel_InsertW(m_hCtrl, text.data(), static_cast<int>(text.size()), TRUE), 1);
  const WString want = Expected(text);
  for (int nTo : {MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8_BOM}) {
    if (nTo == Mirel_GetFileEncoding(m_hCtrl)) continue;
    ASSERT_EQ(Mirel_SetFileEncoding(m_hCtrl, nTo), 1) << nTo;
    EXPECT_EQ(Mirel_GetFileEncoding(m_hCtrl), nTo);
    EXPECT_EQ(AllText(), want) << nTo;
    EXPECT_TRUE(Mirel_IsModified(m_hCtrl));
    EXPECT_FALSE(Mirel_CanUndo(m_hCtrl));
  }
  EXPECT_EQ(Mirel_SetFileEncoding(m_hCtrl, MIREL_ENCODING_UTF16BE), 0);
  EXPECT_EQ(Mirel_SetFileEncoding(m_hCtrl, 0), 0);
  EXPECT_EQ(AllText(), want);
}

#ifdef _WIN32
// Another program put text on the clipboard in CF_UNICODETEXT only; the
// system offers it as CF_TEXT too, and every document takes it whole.
TEST_P(ClipboardExports, PastesUnicodeTextThatAnotherProcessPutThere) {
  char szHelper[] = "mirel_clip_helper.exe";
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, szHelper, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
  DWORD nExit = 99;
  GetExitCodeProcess(pi.hProcess, &nExit);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_EQ(nExit, 0u);
  EXPECT_TRUE(Mirel_CanPaste(m_hCtrl));
  SendMessageA(m_hCtrl, WM_PASTE, 0, 0);
  const WCHAR kPut[] = {0xD55C, 0xAE00, ' ', 'a', 0xD83D, 0xDE00, '\r', '\n', 'b', '\r', 'c'};
  EXPECT_EQ(AllText(), Expected(WString(kPut, kPut + 11)));
}
#endif

INSTANTIATE_TEST_SUITE_P(Encodings, ClipboardExports,
                         testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8,
                                         MIREL_ENCODING_UTF8_BOM));

// A host keeps a file in its own encoding: the file's bytes come back
// unchanged, byte-order mark included.
TEST(EncodingExports, FilesInTheirOwnEncodingComeBackByteForByte) {
  struct Case {
    int nEncoding;
    std::string file;
    int nTextOffset;
  } cases[] = {
      {MIREL_ENCODING_UTF16LE,
       std::string("\xFF\xFE\x5C\xD5\x0D\x00\x0A\x00\x3D\xD8\x00\xDE\x0D\x00z\x00", 16), 2},
      {MIREL_ENCODING_UTF8_BOM, "\xEF\xBB\xBF\xED\x95\x9C\r\n\xF0\x9F\x98\x80\rz", 3},
      {MIREL_ENCODING_UTF8, "\xED\x95\x9C\n\xF0\x9F\x98\x80\nz", 0},
  };
  mirel_test::ControlHost host;
  for (const Case& c : cases) {
    HWND h = Mirel_Create(host.hWnd(), 22, 0, 0, 300, 200, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(Mirel_SetFileEncoding(h, c.nEncoding), 1);
    ASSERT_EQ(Mirel_NewFile(h), 1);
    const int nFormat =
        Mirel_DetermineFileFormat(c.file.data(), static_cast<unsigned>(c.file.size()), c.nEncoding);
    EXPECT_EQ(Mirel_SetFileFormat(h, nFormat), 1);
    const std::string body = c.file.substr(static_cast<size_t>(c.nTextOffset));
    if (c.nEncoding == MIREL_ENCODING_UTF16LE) {
      WString units(body.size() / 2, 0);
      memcpy(&units[0], body.data(), body.size());
      ASSERT_EQ(Mirel_InsertW(h, units.data(), static_cast<int>(units.size()), FALSE), 1);
    } else {
      ASSERT_EQ(Mirel_InsertU(h, body.data(), static_cast<int>(body.size()), FALSE), 1);
    }
    EXPECT_EQ(Mirel_SetFileFormat(h, MIREL_FILE_FORMAT_CR), 0);  // the text is no longer empty
    EXPECT_EQ(mirel_test::ControlFileBytes(h), c.file) << c.nEncoding;
    char nl[3] = {0, 0, 0};
    EXPECT_EQ(Mirel_GetNewLineCodeA(h, nl, 3), nFormat == MIREL_FILE_FORMAT_CRLF ? 2 : 1);
    Mirel_Destroy(h);
  }
}

}  // namespace
