// The control's exports the sample host uses, looked up by name at run time so
// that the host builds and starts against any version of the library and can
// say which export is missing.
#pragma once

#include <windows.h>

#include <string>

#include "mirelctrl/mirelctrl.h"

namespace mirel_host {

class CMirelApi {
 public:
  // Signatures of the exports (cdecl, 32-bit arguments).
  using CreateFn = HWND(__cdecl*)(HWND hWndParent, int nID, int x, int y, int cx, int cy, DWORD dwExStyle,
                                  DWORD dwStyle);
  using DestroyFn = void(__cdecl*)(HWND hWnd);
  using NewFileFn = int(__cdecl*)(HWND hWnd);
  using InsertAFn = int(__cdecl*)(HWND hWnd, const char* pText, int nLen, BOOL bUndo);
  using InsertWFn = int(__cdecl*)(HWND hWnd, const WCHAR* pText, int nChars, BOOL bUndo);
  using InsertUFn = int(__cdecl*)(HWND hWnd, const char* pUtf8, int nLen, BOOL bUndo);
  using GetFileBufferFn = int(__cdecl*)(HWND hWnd, char* pBuf, int nFrom, int nTo);
  using DetermineEncodingFn = int(__cdecl*)(const char* pBuf, int nLen);
  using DetermineFileFormatFn = int(__cdecl*)(const char* pBuf, unsigned nLen, int nEncoding);
  using SetIntFn = int(__cdecl*)(HWND hWnd, int nValue);
  using SetSelFn = void(__cdecl*)(HWND hWnd, int nFrom, int nTo, BOOL bNoScroll);
  using SetModifiedFn = void(__cdecl*)(HWND hWnd, BOOL bModified);
  using IsModifiedFn = BOOL(__cdecl*)(HWND hWnd);
  using SetSyntaxGeneralFn = int(__cdecl*)(HWND hWnd, const MIREL_SYNTAX_INFO* pDef,
                                           const MIREL_SYNTAX_COLORS* pColors);
  using SetSyntaxHtmlFn = int(__cdecl*)(HWND hWnd, const MIREL_SYNTAX_INFO* pHtmlDef,
                                        const MIREL_SYNTAX_COLORS* pHtmlColors,
                                        const MIREL_SYNTAX_INFO* pScriptDef,
                                        const MIREL_SYNTAX_COLORS* pScriptColors);
  using PreparePrintFn = void(__cdecl*)(HWND hWnd, MIREL_PRINT_PARAM* pParam);
  using PrintPageFn = void(__cdecl*)(HWND hWnd, HDC hDC, int nPage);
  using EndPrintFn = void(__cdecl*)(HWND hWnd);
  using SetFontFn = void(__cdecl*)(HWND hWnd, const LOGFONTA* pLogFont);

  CMirelApi() = default;
  CMirelApi(const CMirelApi&) = delete;
  CMirelApi& operator=(const CMirelApi&) = delete;
  ~CMirelApi();

  // Loads the library and looks up every export. Returns false with a message
  // when the library cannot be loaded or a required export is missing.
  bool Load(const std::string& strPath, std::string* pError);

  // Required: without these the host cannot show and save a file.
  CreateFn pfnCreate = nullptr;
  DestroyFn pfnDestroy = nullptr;
  NewFileFn pfnNewFile = nullptr;
  InsertAFn pfnInsertA = nullptr;
  InsertWFn pfnInsertW = nullptr;
  InsertUFn pfnInsertU = nullptr;
  GetFileBufferFn pfnGetFileBuffer = nullptr;
  DetermineEncodingFn pfnDetermineEncoding = nullptr;
  DetermineFileFormatFn pfnDetermineFileFormat = nullptr;

  // Optional: the host works without them, with less comfort. Without
  // Mirel_SetFileEncoding a file that is not ANSI is shown converted and
  // cannot be saved back.
  SetIntFn pfnSetFileEncoding = nullptr;
  SetIntFn pfnSetFileFormat = nullptr;
  SetSelFn pfnSetSel = nullptr;
  SetModifiedFn pfnSetModified = nullptr;
  IsModifiedFn pfnIsModified = nullptr;
  SetSyntaxGeneralFn pfnSetSyntaxGeneral = nullptr;  // without it source files stay uncoloured
  SetSyntaxHtmlFn pfnSetSyntaxHtml = nullptr;        // without it pages stay uncoloured
  PreparePrintFn pfnPreparePrint = nullptr;          // the three printing exports: no print
  PrintPageFn pfnPrintPage = nullptr;                // preview without them
  EndPrintFn pfnEndPrint = nullptr;
  SetFontFn pfnSetFont = nullptr;  // without it the control keeps its default font

 private:
  HMODULE m_hModule = nullptr;
};

}  // namespace mirel_host
