// Texts with the caret and the selection marked in them, written once in
// UTF-8 and turned into a document of any encoding; and the same notation
// read back from a document, so a command's whole effect (text, caret,
// selection) is one string comparison.
//
// Notation: '|' is the caret, '^' the anchor of the selection (absent when
// the selection is collapsed at the caret).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "doc_test_util.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "positions_fixture.h"

#ifndef _WIN32
#include "platform_hooks.h"
#endif

namespace mirel_lines_test {

// The encodings every command table runs in (ANSI in code page 949).
inline std::vector<int> TableEncodings() {
  return {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE};
}

inline const char* EncodingName(int nEncoding) {
  switch (nEncoding) {
    case MIREL_ENCODING_ANSI:
      return "ANSI";
    case MIREL_ENCODING_UTF8:
      return "UTF-8";
    default:
      return "UTF-16";
  }
}

// UTF-8 text in a document encoding.
inline std::string FromUtf8(const std::string& s, int nEncoding) {
  if (s.empty() || nEncoding == MIREL_ENCODING_UTF8) return s;
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::vector<WCHAR> w(static_cast<size_t>(n));
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  if (nEncoding != MIREL_ENCODING_ANSI) {
    std::string out;
    for (WCHAR c : w) {
      out.push_back(static_cast<char>(c & 0xFF));
      out.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return out;
  }
  const int m = WideCharToMultiByte(949, 0, w.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(m), '\0');
  WideCharToMultiByte(949, 0, w.data(), n, &out[0], m, nullptr, nullptr);
  return out;
}

// Document bytes back to UTF-8.
inline std::string ToUtf8(const std::string& s, int nEncoding) {
  if (s.empty() || nEncoding == MIREL_ENCODING_UTF8) return s;
  std::vector<WCHAR> w;
  if (nEncoding != MIREL_ENCODING_ANSI) {
    for (size_t i = 0; i + 1 < s.size(); i += 2)
      w.push_back(static_cast<WCHAR>(static_cast<BYTE>(s[i]) | (static_cast<BYTE>(s[i + 1]) << 8)));
  } else {
    const int n = MultiByteToWideChar(949, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    w.assign(static_cast<size_t>(n), 0);
    MultiByteToWideChar(949, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  }
  const int m =
      WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(m), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &out[0], m, nullptr, nullptr);
  return out;
}

struct Marked {
  std::string bytes;  // the text in the document encoding
  DWORD nCaret = 0;
  DWORD nAnchor = 0;
};

inline Marked Parse(const std::string& marked, int nEncoding) {
  std::string plain;
  size_t nCaret = std::string::npos;
  size_t nAnchor = std::string::npos;
  for (char c : marked) {
    if (c == '|') {
      nCaret = plain.size();
    } else if (c == '^') {
      nAnchor = plain.size();
    } else {
      plain.push_back(c);
    }
  }
  if (nCaret == std::string::npos) nCaret = 0;
  if (nAnchor == std::string::npos) nAnchor = nCaret;
  Marked m;
  m.bytes = FromUtf8(plain, nEncoding);
  m.nCaret = static_cast<DWORD>(FromUtf8(plain.substr(0, nCaret), nEncoding).size());
  m.nAnchor = static_cast<DWORD>(FromUtf8(plain.substr(0, nAnchor), nEncoding).size());
  return m;
}

// The document's text, caret and selection in the notation.
inline std::string Show(CMirelDoc& doc) {
  const std::string bytes = mirel_doc_test::TextOf(doc);
  const DWORD nCaret = static_cast<DWORD>(std::max(doc.nCaretPos, 0));
  const DWORD nAnchor = doc.block.HasSelection() ? doc.block.nAnchor : nCaret;
  std::vector<std::pair<DWORD, char>> marks = {{nCaret, '|'}};
  if (nAnchor != nCaret) marks.push_back({nAnchor, '^'});
  std::sort(marks.begin(), marks.end());
  std::string out;
  DWORD nFrom = 0;
  for (const auto& m : marks) {
    const DWORD nAt = std::min<DWORD>(m.first, static_cast<DWORD>(bytes.size()));
    out += ToUtf8(bytes.substr(nFrom, nAt - nFrom), doc.nFileEncoding);
    out.push_back(m.second);
    nFrom = nAt;
  }
  return out + ToUtf8(bytes.substr(nFrom), doc.nFileEncoding);
}

// The caret row holds the caret, the block's caret end is the caret, and the
// rows are those a fresh layout gives.
inline void ExpectConsistent(CMirelDoc& doc) {
  ASSERT_GE(doc.cli, 0);
  ASSERT_LT(doc.cli, doc.nLineCount);
  const MIREL_LINE& row = doc.pLines[doc.cli];
  EXPECT_LE(row.nStart, static_cast<DWORD>(doc.nCaretPos));
  EXPECT_LE(static_cast<DWORD>(doc.nCaretPos), row.nStart + row.nLen);
  EXPECT_EQ(doc.block.nCaret, static_cast<DWORD>(doc.nCaretPos));
  const auto rows = mirel_doc_test::RowsOf(doc);
  EXPECT_EQ(rows, mirel_doc_test::RebuiltRows(doc));
}

// A document of the test font holding a marked text.
class MarkedDoc : public mirel_test::TextDoc {
 public:
  explicit MarkedDoc(int nEncoding)
      : TextDoc(nEncoding, MIREL_WRAP_NONE, nEncoding == MIREL_ENCODING_ANSI ? 949 : 0) {}

  void Load(const std::string& marked) {
    const Marked m = Parse(marked, doc.nFileEncoding);
    ASSERT_TRUE(SetText(m.bytes));
    doc.undo.Reset();
    Select(m.nAnchor, m.nCaret);
  }
  void Select(DWORD nAnchor, DWORD nCaret) {
    doc.nVirtualSpace = 0;
    doc.block.Reset(nAnchor, doc.GetLineFromPos(nAnchor), FALSE);
    doc.nCaretPos = static_cast<int>(nCaret);
    doc.cli = doc.GetLineFromPos(nCaret);
    doc.block.SetCaret(nCaret, doc.cli);
  }
};

// One command: the marked text before, after it, after one undo and after a
// redo. An empty undo or redo expectation checks the text only (the caret
// is still checked to lie on its row).
struct CommandCase {
  const char* name;
  std::function<void(CMirelDoc&)> command;
  std::string before;
  std::string after;
  std::string undone;
  std::string redone;
};

// Strips the markers.
inline std::string Plain(const std::string& marked) {
  std::string out;
  for (char c : marked)
    if (c != '|' && c != '^') out.push_back(c);
  return out;
}

inline void RunCommandCase(const CommandCase& c) {
  for (int nEncoding : TableEncodings()) {
    SCOPED_TRACE(std::string(c.name) + " in " + EncodingName(nEncoding));
    MarkedDoc d(nEncoding);
    d.Load(c.before);
    c.command(d.doc);
    EXPECT_EQ(Show(d.doc), c.after);
    ExpectConsistent(d.doc);
    if (Plain(c.before) == Plain(c.after)) {
      EXPECT_FALSE(d.doc.CanUndo()) << "a command that changed nothing left a step";
      continue;
    }
    ASSERT_TRUE(d.doc.Undo(nullptr));
    EXPECT_EQ(c.undone.empty() ? Plain(Show(d.doc)) : Show(d.doc),
              c.undone.empty() ? Plain(c.before) : c.undone);
    EXPECT_FALSE(d.doc.CanUndo()) << "the command took more than one undo step";
    ExpectConsistent(d.doc);
    ASSERT_TRUE(d.doc.Redo(nullptr));
    EXPECT_EQ(c.redone.empty() ? Plain(Show(d.doc)) : Show(d.doc),
              c.redone.empty() ? Plain(c.after) : c.redone);
    ExpectConsistent(d.doc);
  }
}

// A command refused while rows wrap: one beep, and text, caret, selection
// and undo history as they were.
inline void ExpectBeepsWhileRowsWrap(const std::string& marked, BYTE nWrapMode,
                                     const std::function<void(CMirelDoc&)>& command) {
  MarkedDoc d(MIREL_ENCODING_ANSI);
  d.Load(marked);
  d.doc.nWrapMode = nWrapMode;
#ifndef _WIN32
  MrwTestResetBeepCount();
#endif
  command(d.doc);
  EXPECT_EQ(Show(d.doc), marked);
  EXPECT_FALSE(d.doc.CanUndo());
#ifndef _WIN32
  EXPECT_EQ(MrwTestBeepCount(), 1);
#endif
}

}  // namespace mirel_lines_test
