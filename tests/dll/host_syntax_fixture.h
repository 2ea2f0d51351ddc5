// A control given one of the sample host's language definitions the way the
// host does it (the definition right after Mirel_NewFile, the text after
// it), and the style the parse gave a piece of a paragraph.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control_host.h"
#include "mirel/cmireldoc.h"
#include "mirel/syntax/cmrsyntax.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"

namespace mirel_test {

class HostSyntaxControl : public testing::Test {
 protected:
  explicit HostSyntaxControl(int nID) : m_nID(nID) {}

  void SetUp() override {
    ASSERT_NE(m_host.hWnd(), nullptr);
    m_hCtrl = Mirel_Create(m_host.hWnd(), m_nID, 0, 0, 400, 300, 0, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(m_hCtrl, nullptr);
  }
  void TearDown() override { Mirel_Destroy(m_hCtrl); }

  // setSyntax(hCtrl) hands the definition over and returns the export's
  // result; the document must then hold a syntax of nSyntaxType, parsed.
  template <typename SetSyntax>
  void LoadWith(const std::vector<std::string>& lines, SetSyntax setSyntax, int nSyntaxType) {
    m_lines = lines;
    ASSERT_EQ(Mirel_NewFile(m_hCtrl), 1);
    ASSERT_EQ(setSyntax(m_hCtrl), 1);
    std::string strText;
    for (std::size_t i = 0; i < lines.size(); ++i) strText += (i > 0 ? "\r\n" : "") + lines[i];
    ASSERT_EQ(Mirel_InsertA(m_hCtrl, strText.data(), static_cast<int>(strText.size()), FALSE), 1);
    m_pdoc = MirelFindDoc(m_hCtrl);
    ASSERT_NE(m_pdoc, nullptr);
    ASSERT_NE(m_pdoc->GetSyntax(), nullptr);
    ASSERT_EQ(m_pdoc->GetSyntax()->GetSyntaxType(), nSyntaxType);
    m_pdoc->GetSyntax()->ParseAll(m_pdoc, nullptr);
  }

  // The style of the byte where the nth occurrence of strWhat starts in the
  // paragraph; -1 when it lies outside the paragraph's runs.
  int StyleAt(int nPara, const std::string& strWhat, int nOccurrence = 0) {
    const std::string& strLine = m_lines.at(static_cast<std::size_t>(nPara));
    std::size_t nAt = strLine.find(strWhat);
    for (int i = 0; i < nOccurrence && nAt != std::string::npos; ++i) nAt = strLine.find(strWhat, nAt + 1);
    if (nAt == std::string::npos) {
      ADD_FAILURE() << "\"" << strWhat << "\" is not in paragraph " << nPara;
      return -1;
    }
    const MIREL_PARA_INFO* pInfo = m_pdoc->GetSyntax()->GetParaInfo(nPara);
    if (pInfo == nullptr || !pInfo->bParsed || pInfo->pRuns == nullptr) return -1;
    int nStyle = -1;
    for (DWORD i = 0; i < pInfo->nRunAlloc; ++i) {
      const MIREL_COLOR_RUN& run = pInfo->pRuns[i];
      if (run.nStyle == MIREL_STYLE_END) return static_cast<LONG>(nAt) < run.nOffset ? nStyle : -1;
      if (run.nOffset <= static_cast<LONG>(nAt)) nStyle = run.nStyle;
    }
    return -1;
  }

  mirel_test::ControlHost m_host;
  HWND m_hCtrl = nullptr;
  CMirelDoc* m_pdoc = nullptr;
  std::vector<std::string> m_lines;

 private:
  int m_nID;
};

}  // namespace mirel_test
