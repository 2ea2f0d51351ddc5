// Fixture of the export tests: one control, a visible 300 x 200 child of a
// host window, made before each test and destroyed after it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "control_host.h"
#include "mirelctrl/mirelctrl.h"

namespace mirel_test {

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

  ControlHost m_host;
  HWND m_hCtrl = nullptr;

 private:
  int m_nID;
};

}  // namespace mirel_test
