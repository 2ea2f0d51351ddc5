// The large-file stores, on generated files larger than 64 KiB: sectors cut
// at line ends, row tables, hundred-row windows read back from the temporary
// copy through the reading idiom, and the line count of the scanning store.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "doc_test_util.h"
#include "mirel/ccontentshandlerhuge.h"
#include "mirel/ccontentshandlerviewer.h"
#include "mirel/ccontentssector.h"

namespace {

using namespace mirel_doc_test;

// A temporary file holding the bytes, positioned at its start.
struct TempFile {
  explicit TempFile(const std::string& bytes) : p(std::tmpfile()) {
    if (p != nullptr) {
      std::fwrite(bytes.data(), 1, bytes.size(), p);
      std::rewind(p);
    }
  }
  ~TempFile() {
    if (p != nullptr) std::fclose(p);
  }
  std::FILE* p;
};

bool FileExists(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f != nullptr) std::fclose(f);
  return f != nullptr;
}

// Lines of varied length and line ends, ASCII, about nBytes long.
std::string MixedLines(size_t nBytes) {
  static const char* const kEnds[] = {"\r\n", "\n", "\r", "\r\n"};
  std::string s;
  for (int i = 0; s.size() < nBytes; ++i) {
    s += "line " + std::to_string(i) + std::string(static_cast<size_t>(i * 7 % 90), 'x');
    s += kEnds[i % 4];
    if (i % 13 == 0) s += "\n";  // an empty line
  }
  return s;
}

class LargeFileStoreTest : public ::testing::Test {
 protected:
  // A viewer over the file bytes in a document of the given encoding.
  std::unique_ptr<CContentsHandlerViewer> Load(const std::string& file, int nEncoding,
                                               int* pnEncoding = nullptr) {
    OpenEmpty(doc, nEncoding);
    auto viewer = std::make_unique<CContentsHandlerViewer>(&doc);
    TempFile f(file);
    int nFormat = -1;
    int nFound = -1;
    EXPECT_TRUE(viewer->LoadFile(f.p, static_cast<DWORD>(file.size()), &nFound, &nFormat));
    if (pnEncoding != nullptr) *pnEncoding = nFound;
    return viewer;
  }
  CMirelDoc doc;
};

// Each chunk but the last is cut after its last line end, never between CR
// and LF; a paragraph longer than a chunk is carried whole into the next.
TEST_F(LargeFileStoreTest, SectorsEndAfterTheLastLineEndOfEachChunk) {
  struct Case {
    const char* name;
    std::string file;
  };
  // A first line whose CR is the last byte of the first chunk (3 bytes read
  // first, then one chunk), its LF the first byte of the next.
  std::string straddle(3 + MIREL_VIEWER_CHUNK - 1, 'a');
  straddle += "\r\n" + MixedLines(3 * MIREL_VIEWER_CHUNK);
  const Case cases[] = {
      {"mixed lines", MixedLines(5 * MIREL_VIEWER_CHUNK + 12345)},
      {"CR LF across the first chunk end", straddle},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto viewer = Load(c.file, MIREL_ENCODING_ANSI);
    // Expected ends, found independently: after the last line end that lies
    // wholly before each chunk boundary, unless a CR is the boundary's last byte.
    std::vector<DWORD> ends;
    DWORD nStart = 0;
    for (size_t nBoundary = 3 + MIREL_VIEWER_CHUNK; nBoundary < c.file.size();
         nBoundary += MIREL_VIEWER_CHUNK) {
      size_t i = nBoundary;
      while (i > nStart) {
        const char ch = c.file[i - 1];
        if (ch == '\n' || (ch == '\r' && i != nBoundary)) break;
        --i;
      }
      if (i > nStart) ends.push_back(nStart = static_cast<DWORD>(i));
    }
    ends.push_back(static_cast<DWORD>(c.file.size()));
    const std::vector<MIREL_SECTOR>& sectors = viewer->GetSectors();
    ASSERT_EQ(sectors.size(), ends.size());
    DWORD nPrev = 0;
    for (size_t k = 0; k < sectors.size(); ++k) {
      EXPECT_EQ(sectors[k].nStart, nPrev) << k;
      EXPECT_EQ(sectors[k].nEnd, ends[k]) << k;
      nPrev = sectors[k].nEnd;
    }
  }
}

// Without page breaks and long paragraphs, the rows equal those the
// in-memory store lays out for the same text without wrapping.
TEST_F(LargeFileStoreTest, RowsMatchTheInMemoryLayout) {
  struct Case {
    int nEncoding;
    std::string bom;
    bool bWide;
  };
  const Case cases[] = {
      {MIREL_ENCODING_ANSI, "", false},
      {MIREL_ENCODING_UTF16LE, "\xFF\xFE", true},
      {MIREL_ENCODING_UTF8_BOM, "\xEF\xBB\xBF", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nEncoding);
    std::string text = MixedLines(300000);
    if (c.bWide) text = Utf16(text) + Utf16({0x010A, 0x0D0A, 'z'});  // units holding CR or LF bytes
    auto viewer = Load(c.bom + text, c.nEncoding);
    CMirelDoc memory;
    OpenEmpty(memory, c.nEncoding);
    ASSERT_TRUE(memory.pContents->InsertAndRelayout(0, Bytes(text), Len(text), FALSE));
    EXPECT_EQ(RowsOf(doc), RowsOf(memory));
    EXPECT_EQ(viewer->GetTextLength(), text.size());
  }
}

// Windows are the hundred-row block of the position, widened to whole
// paragraphs; every byte read through the idiom is the file's.
TEST_F(LargeFileStoreTest, WindowsCoverHundredRowBlocksOfWholeParagraphs) {
  std::string text;
  for (int i = 0; i < 95; ++i) text += "row " + std::to_string(i) + "\n";
  text += std::string(10 * 0xFFFF + 100, 'p') + "\n";  // rows 95 to 105: one paragraph
  text += MixedLines(200000);
  auto viewer = Load(text, MIREL_ENCODING_ANSI);
  ASSERT_GT(doc.nLineCount, 400);
  ASSERT_EQ(doc.pLines[105].nSubLine, 10u);
  ASSERT_EQ(doc.pLines[106].nSubLine, 0u);

  struct Case {
    int nRow;
    int nFirstRow;  // where the window starts
    int nEndRow;    // the first row after it
  };
  const int nCount = doc.nLineCount;
  const Case cases[] = {
      {0, 0, 106},     // block 0 runs on to the end of the long paragraph
      {150, 95, 200},  // block 100 starts inside it: back to its start
      {250, 200, 300},
      {nCount - 2, (nCount - 2) / 100 * 100, nCount},  // the last block ends with the text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nRow);
    const DWORD nPos = doc.pLines[c.nRow].nStart + doc.pLines[c.nRow].nLen / 2;
    const BYTE* q = viewer->GetText(nPos);
    const DWORD nOffset = static_cast<DWORD>(viewer->GetTextOffset());
    const DWORD nEnd = c.nEndRow < nCount ? doc.pLines[c.nEndRow].nStart : Len(text);
    EXPECT_EQ(nOffset, doc.pLines[c.nFirstRow].nStart);
    EXPECT_EQ(viewer->GetLoadedLength(), nEnd - nOffset);
    ASSERT_LT(nPos - nOffset, viewer->GetLoadedLength());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(q), viewer->GetLoadedLength()),
              text.substr(nOffset, nEnd - nOffset));
  }
  // Single bytes, inside and outside the loaded window.
  for (DWORD p : {DWORD{0}, DWORD{500}, Len(text) / 2, Len(text) - 1})
    EXPECT_EQ(viewer->GetTextByte(p), static_cast<BYTE>(text[p])) << p;
  EXPECT_EQ(viewer->GetTextByte(Len(text)), 0);
}

// The first three bytes decide the mark and the encoding, for both stores.
TEST_F(LargeFileStoreTest, FileStartDecidesTheEncoding) {
  struct Case {
    std::string head;
    int nEncoding;  // reported
    BYTE nBomLen;
    int nDocEncoding;  // the document's afterwards (it started as ANSI)
  };
  const Case cases[] = {
      {"\xFE\xFF", MIREL_ENCODING_UTF16BE, 2, MIREL_ENCODING_UTF16BE},
      {"\xFF\xFE", MIREL_ENCODING_UTF16LE, 2, MIREL_ENCODING_UTF16LE},
      {"\xEF\xBB\xBF", MIREL_ENCODING_UTF8_BOM, 3, MIREL_ENCODING_UTF8_BOM},
      {std::string("ab\0", 3), MIREL_ENCODING_BINARY, 0, MIREL_ENCODING_ANSI},
      {"abc", MIREL_ENCODING_ANSI, 0, MIREL_ENCODING_ANSI},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nEncoding);
    const std::string file = c.head + Utf16(MixedLines(70000));
    int nFound = -1;
    auto viewer = Load(file, MIREL_ENCODING_ANSI, &nFound);
    EXPECT_EQ(nFound, c.nEncoding);
    EXPECT_EQ(viewer->GetBomLength(), c.nBomLen);
    EXPECT_EQ(doc.nFileEncoding, c.nDocEncoding);
    EXPECT_EQ(viewer->GetTextLength(), file.size() - c.nBomLen);
    EXPECT_EQ(viewer->GetTextByte(0), static_cast<BYTE>(file[c.nBomLen]));
    EXPECT_EQ(viewer->GetBodyByte(0), static_cast<BYTE>(file[0]));

    CMirelDoc other;
    OpenEmpty(other, MIREL_ENCODING_ANSI);
    CContentsHandlerHuge huge(&other);
    TempFile f(file);
    nFound = -1;
    huge.LoadFile(f.p, Len(file), &nFound, nullptr);
    EXPECT_EQ(nFound, c.nEncoding);
    EXPECT_EQ(huge.GetBomLength(), c.nBomLen);
  }
}

// The scanning store counts CR, LF and CR LF once each, across pieces, in
// whole units, and tests its first line for UTF-8.
TEST_F(LargeFileStoreTest, HugeStoreCountsLineEnds) {
  const std::string body(70000, 'b');
  // The first piece ends 3 + 1 MiB bytes into the file.
  std::string straddle(3 + MIREL_HUGE_PIECE - 1, 'c');
  straddle += "\r\nend\r";
  struct Case {
    const char* name;
    std::string file;
    int nEncoding;
    DWORD nLineEnds;
    BOOL bUtf8;
  };
  const Case cases[] = {
      {"mixed ends", "a\r\nb\nc\rd\n\r" + body + "\r\n", MIREL_ENCODING_ANSI, 6, FALSE},
      {"CR LF across pieces", straddle, MIREL_ENCODING_ANSI, 2, FALSE},
      {"UTF-8 first line", "caf\xC3\xA9\n" + body, MIREL_ENCODING_ANSI, 1, TRUE},
      {"UTF-16 units", "\xFF\xFE" + Utf16({'a', 0x0D, 0x0A, 0x010A, 0x0D0A, 0x0A}) + Utf16(body),
       MIREL_ENCODING_ANSI, 2, FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenEmpty(doc, c.nEncoding);
    CContentsHandlerHuge huge(&doc);
    TempFile f(c.file);
    EXPECT_FALSE(huge.LoadFile(f.p, Len(c.file), nullptr, nullptr));  // it holds no text
    EXPECT_TRUE(huge.IsScanComplete());
    EXPECT_EQ(huge.GetLineEndCount(), c.nLineEnds);
    EXPECT_EQ(huge.IsFirstLineUtf8(), c.bUtf8);
    EXPECT_GE(doc.nLineAlloc, static_cast<int>(c.file.size() / 80));
  }
}

// Small files and short reads are refused; the temporary copy goes with the
// store and never outlives a failed load.
TEST_F(LargeFileStoreTest, RefusalsAndTheTemporaryCopy) {
  const std::string file = MixedLines(100000);
  struct Case {
    const char* name;
    DWORD nSize;
  };
  const Case cases[] = {{"64 KiB", 65536}, {"claims more than the file has", Len(file) + 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenEmpty(doc, MIREL_ENCODING_ANSI);
    CContentsHandlerViewer viewer(&doc);
    TempFile f(file);
    EXPECT_FALSE(viewer.LoadFile(f.p, c.nSize, nullptr, nullptr));
    EXPECT_TRUE(viewer.GetCopyPath().empty());
    EXPECT_EQ(doc.nLineCount, 1);
    EXPECT_EQ(viewer.GetLoadedLength(), 0u);
    EXPECT_EQ(viewer.GetTextLength(), 0u);
    CContentsHandlerHuge huge(&doc);
    std::rewind(f.p);
    huge.LoadFile(f.p, c.nSize, nullptr, nullptr);
    EXPECT_FALSE(huge.IsScanComplete());
  }
  std::string path;
  {
    auto viewer = Load(file, MIREL_ENCODING_ANSI);
    path = viewer->GetCopyPath();
    ASSERT_TRUE(FileExists(path));
    // Read-only: no edit, layout or re-encoding changes anything.
    EXPECT_FALSE(viewer->InsertAndRelayout(0, Bytes("x"), 1, FALSE));
    EXPECT_FALSE(viewer->DeleteAndRelayout(0, 1, FALSE));
    EXPECT_FALSE(viewer->RebuildLines());
    EXPECT_FALSE(viewer->ChangeEncoding(MIREL_ENCODING_UTF8));
    EXPECT_EQ(viewer->GetTextByte(0), static_cast<BYTE>(file[0]));
  }
  EXPECT_FALSE(FileExists(path));
}

// Temporary names: the folder, the id and the counter; a name that does not
// fit is refused, and a sector file writes every byte it is given.
TEST(ContentsSector, NamesAndWrites) {
  char szFolder[MAX_PATH + 1];
  ASSERT_GT(GetTempPathA(sizeof(szFolder), szFolder), 0u);
  char szName[MAX_PATH + 64];
  ASSERT_TRUE(CContentsSector::MakeTempFileName(12, 345, szName, sizeof(szName)));
  EXPECT_EQ(std::string(szName), std::string(szFolder) + "12_345");
  char szSmall[8] = "x";
  EXPECT_FALSE(CContentsSector::MakeTempFileName(12, 345, szSmall, sizeof(szSmall)));
  EXPECT_STREQ(szSmall, "");

  {
    CContentsSector sector;
    ASSERT_TRUE(sector.Open(szName));
    EXPECT_TRUE(sector.Write(Bytes("abc"), 3));
    EXPECT_FALSE(sector.Write(nullptr, 2));
  }
  std::FILE* f = std::fopen(szName, "rb");
  ASSERT_NE(f, nullptr);
  char buffer[8] = {};
  EXPECT_EQ(std::fread(buffer, 1, sizeof(buffer), f), 3u);
  std::fclose(f);
  std::remove(szName);
}

}  // namespace
