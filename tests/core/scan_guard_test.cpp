// Which top-level exception filter is in force while the range lists scan the
// text: the debug library's dump filter during a find-result scan only, and
// the host's own filter before, after, and during a hyperlink scan.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/ccontentshandlernormal.h"
#include "mirel/metablock/cmrmetablock.h"

#ifdef MIREL_DEBUG
#include "mirel/cmirelminidump.h"
#endif

namespace {

using namespace mirel_doc_test;

LPTOP_LEVEL_EXCEPTION_FILTER CurrentFilter() {
  LPTOP_LEVEL_EXCEPTION_FILTER pFilter = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(pFilter);
  return pFilter;
}

LONG WINAPI HostFilter(EXCEPTION_POINTERS*) {
  return EXCEPTION_CONTINUE_SEARCH;
}

// A store that notes the filter in force whenever a scan reads the text.
class FilterWatchingStore : public CContentsHandlerNormal {
 public:
  explicit FilterWatchingStore(CMirelDoc* pDocument) : CContentsHandlerNormal(pDocument) {}
  BYTE* GetText(DWORD nPos) override {
    seen.push_back(CurrentFilter());
    return CContentsHandlerNormal::GetText(nPos);
  }
  std::vector<LPTOP_LEVEL_EXCEPTION_FILTER> seen;
};

TEST(ScanGuard, OnlyTheFindResultScanRunsUnderTheDumpFilter) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  auto* pStore = new FilterWatchingStore(&doc);
  delete doc.pContents;
  doc.pContents = pStore;
  const std::string text = "find http://example.org find\r\nftp://host find";
  ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), FALSE));
  doc.SetShowFindResult(TRUE);
  doc.SetShowHyperLink(TRUE);
  ASSERT_NE(doc.pFindResult, nullptr);
  ASSERT_NE(doc.pHyperLink, nullptr);

  const LPTOP_LEVEL_EXCEPTION_FILTER pOuter = SetUnhandledExceptionFilter(&HostFilter);
#ifdef MIREL_DEBUG
  const LPTOP_LEVEL_EXCEPTION_FILTER pWantDuringFind = &CMirelMiniDump::TopLevelFilter;
#else
  const LPTOP_LEVEL_EXCEPTION_FILTER pWantDuringFind = &HostFilter;
#endif
  doc.SetFindResult(Bytes("find"), 4, 0);
  EXPECT_EQ(CurrentFilter(), &HostFilter);
  struct Scan {
    const char* name;
    CMrMetaBlock* pList;
    LPTOP_LEVEL_EXCEPTION_FILTER pWant;
    int nRangesInFirstParagraph;
  };
  for (const Scan& scan : {Scan{"find results", doc.pFindResult, pWantDuringFind, 2},
                           Scan{"hyperlinks", doc.pHyperLink, &HostFilter, 1}}) {
    SCOPED_TRACE(scan.name);
    pStore->seen.clear();
    scan.pList->Rescan(&doc, 0, doc.nLineCount - 1);
    ASSERT_FALSE(pStore->seen.empty());
    for (LPTOP_LEVEL_EXCEPTION_FILTER pSeen : pStore->seen) EXPECT_EQ(pSeen, scan.pWant);
    EXPECT_EQ(CurrentFilter(), &HostFilter);
    ASSERT_NE(scan.pList->GetSlot(0), nullptr);
    EXPECT_EQ(scan.pList->GetSlot(0)->nUsed, scan.nRangesInFirstParagraph);
  }
  SetUnhandledExceptionFilter(pOuter);
}

}  // namespace
