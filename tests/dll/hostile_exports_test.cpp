// Host input at the export boundary that used to overflow or read past the
// host's buffer: tab sizes beyond any layout, and a delimiter query with an
// empty string in a UTF-16 document.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>

#include "control_fixture.h"
#include "mirel/cmireldoc.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"

namespace {

class HostileExports : public mirel_test::ControlTest {
 protected:
  HostileExports() : ControlTest(12) {}
  void SetUp() override {
    ControlTest::SetUp();
    Fill("a\tbc\td\r\n\tx");
  }
};

TEST_F(HostileExports, TabSizesAboveTheLimitAreRefused) {
  Mirel_SetTabSize(m_hCtrl, MIREL_MAX_TAB_SIZE);
  EXPECT_EQ(Mirel_GetTabSize(m_hCtrl), 256);
  for (int nBad : {MIREL_MAX_TAB_SIZE + 1, 1633771873, INT_MAX, 0, -4, INT_MIN}) {
    Mirel_SetTabSize(m_hCtrl, nBad);
    EXPECT_EQ(Mirel_GetTabSize(m_hCtrl), 256) << nBad;
  }
  Mirel_SetTabSize(m_hCtrl, 1);
  EXPECT_EQ(Mirel_GetTabSize(m_hCtrl), 1);
  // Typing a tab and painting still work at the widest tab stop.
  Mirel_SetTabSize(m_hCtrl, MIREL_MAX_TAB_SIZE);
  Mirel_SetSel(m_hCtrl, 0, 0, FALSE);
  EXPECT_EQ(Mirel_InsertA(m_hCtrl, "\t\t", 2, TRUE), 1);
  UpdateWindow(m_hCtrl);
  EXPECT_EQ(Mirel_GetCurrentPos(m_hCtrl), 2);
}

TEST_F(HostileExports, TheDelimiterQueryReadsNoFurtherThanAnEmptyString) {
  // Exactly one byte, so that reading a second one is caught.
  const std::unique_ptr<char[]> pEmpty(new char[1]{'\0'});
  const std::unique_ptr<char[]> pParen(new char[2]{'(', '\0'});
  EXPECT_TRUE(Mirel_IsDelimiter(m_hCtrl, pParen.get()));
  EXPECT_TRUE(Mirel_IsDelimiter(m_hCtrl, pEmpty.get()));  // NUL counts as a delimiter in ANSI text
  CMirelDoc* pdoc = MirelFindDoc(m_hCtrl);
  ASSERT_NE(pdoc, nullptr);
  pdoc->nFileEncoding = MIREL_ENCODING_UTF16LE;
  EXPECT_FALSE(Mirel_IsDelimiter(m_hCtrl, pEmpty.get()));
  EXPECT_TRUE(Mirel_IsDelimiter(m_hCtrl, pParen.get()));  // "(" and its terminator: the unit U+0028
  const WCHAR wide[] = {0x4E00, 0};
  EXPECT_FALSE(Mirel_IsDelimiter(m_hCtrl, reinterpret_cast<const char*>(wide)));
  const WCHAR fullStop[] = {0x002E, 0};
  EXPECT_TRUE(Mirel_IsDelimiter(m_hCtrl, reinterpret_cast<const char*>(fullStop)));
  EXPECT_FALSE(Mirel_IsDelimiter(m_hCtrl, nullptr));
}

}  // namespace
