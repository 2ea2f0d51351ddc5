// Helpers shared by the document, store and layout tests.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"

namespace mirel_doc_test {

inline const BYTE* Bytes(const std::string& s) {
  return reinterpret_cast<const BYTE*>(s.data());
}
inline DWORD Len(const std::string& s) {
  return static_cast<DWORD>(s.size());
}

// UTF-16LE bytes of the given units.
inline std::string Utf16(std::initializer_list<unsigned> units) {
  std::string out;
  for (unsigned u : units) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  }
  return out;
}

// UTF-16LE bytes of an ASCII string.
inline std::string Utf16(const std::string& ascii) {
  std::string out;
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

// The text (byte-order mark excluded) of a document.
inline std::string TextOf(CMirelDoc& doc) {
  CContentsHandler* p = doc.pContents;
  return std::string(reinterpret_cast<const char*>(p->GetText(0)), p->GetTextLength());
}

// The whole file bytes of a document.
inline std::string FileOf(CMirelDoc& doc) {
  std::string out(doc.GetFileSize(), '\0');
  if (!out.empty()) doc.GetFileBuffer(reinterpret_cast<BYTE*>(&out[0]), 0, static_cast<DWORD>(out.size()));
  return out;
}

struct Row {
  DWORD nStart, nPara, nSubLine, nLen;
  int nKind;
  bool operator==(const Row& o) const {
    return nStart == o.nStart && nPara == o.nPara && nSubLine == o.nSubLine && nLen == o.nLen &&
           nKind == o.nKind;
  }
};

inline std::ostream& operator<<(std::ostream& os, const Row& r) {
  return os << "{" << r.nStart << ", para " << r.nPara << ", sub " << r.nSubLine << ", len " << r.nLen
            << ", kind " << r.nKind << "}";
}

inline std::vector<Row> RowsOf(const CMirelDoc& doc) {
  std::vector<Row> rows;
  for (int i = 0; i < doc.nLineCount; ++i) {
    const MIREL_LINE& l = doc.pLines[i];
    rows.push_back({l.nStart, l.nPara, l.nSubLine, l.nLen, l.nKind});
  }
  return rows;
}

// TRUE when every record past the rows in use is zero.
inline bool SpareRecordsZero(const CMirelDoc& doc) {
  const BYTE* p = reinterpret_cast<const BYTE*>(doc.pLines + doc.nLineCount);
  const size_t n = static_cast<size_t>(doc.nLineAlloc - doc.nLineCount) * sizeof(MIREL_LINE);
  for (size_t i = 0; i < n; ++i) {
    if (p[i] != 0) return false;
  }
  return true;
}

// The rows a fresh rebuild gives for the document's current text. The
// document's table is rebuilt in place.
inline std::vector<Row> RebuiltRows(CMirelDoc& doc) {
  EXPECT_TRUE(doc.ReloadContents());
  return RowsOf(doc);
}

// Single-byte widths all equal to w (no measuring needed), tab stops every
// nTab pixels, text room nRoom pixels.
inline void SetFixedMetrics(CMirelDoc& doc, int w, int nTab, int nRoom) {
  for (int& cw : doc.nCharWidth) cw = w;
  doc.nAveCharWidth = w;
  doc.nTabWidth = nTab;
  doc.nLeftMargin = 0;
  doc.nTextWidth = nRoom + 3;
}

// A document with an empty text in the given encoding.
inline void OpenEmpty(CMirelDoc& doc, int nEncoding) {
  doc.nFileEncoding = static_cast<BYTE>(nEncoding);
  ASSERT_EQ(doc.NewFile(), 1);
}

// Makes the bookmark slot array (all free) as the first toggle does.
inline void MakeBookmarkSlots(CMirelDoc& doc, int nSlots = MIREL_BOOKMARK_INITIAL_SLOTS) {
  std::free(doc.pBookmark);
  doc.pBookmark = static_cast<CMrBookmark*>(std::malloc(sizeof(CMrBookmark) * nSlots));
  for (int i = 0; i < nSlots; ++i) doc.pBookmark[i] = CMrBookmark();
  doc.nBookmarkAlloc = nSlots;
  doc.nBookmarkCount = 0;
}

// Adds an ordinary bookmark in the next slot (callers add them in ascending order).
inline void AddOrdinaryBookmark(CMirelDoc& doc, int nPara) {
  int i = MIREL_NAMED_BOOKMARK_COUNT;
  while (!doc.pBookmark[i].IsFree()) ++i;
  doc.pBookmark[i] = CMrBookmark(MIREL_BOOKMARK_ORDINARY, nPara);
  ++doc.nBookmarkCount;
}

// Paragraphs of the used ordinary bookmarks, in slot order.
inline std::vector<int> OrdinaryBookmarks(const CMirelDoc& doc) {
  std::vector<int> out;
  for (int i = MIREL_NAMED_BOOKMARK_COUNT; i < doc.nBookmarkAlloc; ++i) {
    if (!doc.pBookmark[i].IsFree()) out.push_back(doc.pBookmark[i].nPara);
  }
  return out;
}

}  // namespace mirel_doc_test
