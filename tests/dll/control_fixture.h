// Fixture of the export tests: one control, a visible 300 x 200 child of a
// host window, made before each test and destroyed after it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "control_host.h"
#include "mirelctrl/mirelctrl.h"

namespace mirel_test {

// The control's text, read as code page 949 bytes.
inline std::string ControlText(HWND hCtrl) {
  const int nEnd = Mirel_GetContentsSize(hCtrl);
  const int n = Mirel_GetTextA(hCtrl, nullptr, 0, nEnd);
  if (n <= 0) return std::string();
  std::string s(static_cast<size_t>(n) + 1, '\0');
  const int nRead = Mirel_GetTextA(hCtrl, &s[0], 0, nEnd);
  s.resize(static_cast<size_t>(nRead > 0 && nRead <= n ? nRead : 0));
  return s;
}

// The control's file bytes, byte-order mark included.
inline std::string ControlFileBytes(HWND hCtrl) {
  const int n = Mirel_GetFileBuffer(hCtrl, nullptr, 0, INT_MAX);
  std::string s(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    EXPECT_EQ(Mirel_GetFileBuffer(hCtrl, &s[0], 0, n), n);
  }
  return s;
}

class ControlTest : public testing::Test {
 protected:
  explicit ControlTest(int nID) : m_nID(nID) {}

  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    m_hCtrl = Mirel_Create(m_host.hWnd(), m_nID, 0, 0, 300, 200, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(m_hCtrl, nullptr);
  }
  void TearDown() override { Mirel_Destroy(m_hCtrl); }

  // A new document holding the text (inserted as the control's own input).
  void Fill(const char* text) {
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    ASSERT_EQ(Mirel_InsertA(m_hCtrl, text, static_cast<int>(std::strlen(text)), TRUE), 1);
  }

  std::string Text() const { return ControlText(m_hCtrl); }

  ControlHost m_host;
  HWND m_hCtrl = nullptr;

 private:
  int m_nID;
};

}  // namespace mirel_test
