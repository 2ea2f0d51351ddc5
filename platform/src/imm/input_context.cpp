// Input contexts of the stand-in and the scripted input method behind them:
// tests set the composition a user would be typing, and the context sends
// the window the messages the system sends, in the system's order.
#include <imm.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "hooks_imm.h"
#include "internal.h"

namespace {

struct InputContext {
  HWND hWnd = nullptr;
  HIMC hIMC = nullptr;
  BOOL bOpen = FALSE;
  bool bComposing = false;
  std::string comp;  // code-page bytes
  std::vector<BYTE> attr;
  std::vector<DWORD> clause;
  DWORD nCursor = 0;
  std::string result;
};

struct ImeState {
  bool bEnabled = false;
  UINT_PTR nNextId = 0x1000;
  std::map<HWND, InputContext> contexts;
  MRW_IME_LOG log{};
};

ImeState& State() {
  static ImeState state;
  return state;
}

InputContext* FromHandle(HIMC hIMC) {
  if (hIMC == nullptr) return nullptr;
  for (auto& entry : State().contexts) {
    if (entry.second.hIMC == hIMC) return &entry.second;
  }
  return nullptr;
}

InputContext* ContextOf(HWND hWnd) {
  ImeState& s = State();
  if (!s.bEnabled || hWnd == nullptr || !MrwUserIsWindow(hWnd)) return nullptr;
  auto it = s.contexts.find(hWnd);
  if (it == s.contexts.end()) {
    InputContext ctx;
    ctx.hWnd = hWnd;
    ctx.hIMC = reinterpret_cast<HIMC>(s.nNextId++);
    it = s.contexts.emplace(hWnd, ctx).first;
  }
  return &it->second;
}

// Length of the character starting at byte i of a code-page string.
size_t CharBytes(const std::string& s, size_t i) {
  return i + 1 < s.size() && IsDBCSLeadByteEx(GetACP(), static_cast<BYTE>(s[i])) ? 2 : 1;
}

// The last character of a string as WM_IME_COMPOSITION's wParam (a double-byte
// character with its lead byte in bits 8-15).
WPARAM LastChar(const std::string& s) {
  size_t nLast = 0;
  for (size_t i = 0; i < s.size(); i += CharBytes(s, i)) nLast = i;
  if (s.empty()) return 0;
  if (CharBytes(s, nLast) == 2)
    return static_cast<WPARAM>((static_cast<BYTE>(s[nLast]) << 8) | static_cast<BYTE>(s[nLast + 1]));
  return static_cast<BYTE>(s[nLast]);
}

// UTF-16 units of a code-page string, and for every byte offset the unit offset.
std::vector<WCHAR> ToUnits(const std::string& s, std::vector<DWORD>* pUnitOf) {
  std::vector<WCHAR> units;
  pUnitOf->assign(s.size() + 1, 0);
  for (size_t i = 0; i < s.size();) {
    const size_t n = CharBytes(s, i);
    WCHAR buf[2];
    const int nUnits = MultiByteToWideChar(GetACP(), 0, s.data() + i, static_cast<int>(n), buf, 2);
    for (size_t k = 0; k < n; ++k) (*pUnitOf)[i + k] = static_cast<DWORD>(units.size());
    units.insert(units.end(), buf, buf + std::max(nUnits, 0));
    i += n;
  }
  (*pUnitOf)[s.size()] = static_cast<DWORD>(units.size());
  return units;
}

// Copies a part into the caller's buffer: the size with dwBufLen 0, else the
// bytes copied, or IMM_ERROR_GENERAL when the buffer is too small.
LONG CopyOut(const void* pData, size_t nBytes, LPVOID lpBuf, DWORD dwBufLen) {
  if (dwBufLen == 0) return static_cast<LONG>(nBytes);
  if (lpBuf == nullptr || dwBufLen < nBytes) return IMM_ERROR_GENERAL;
  if (nBytes > 0) std::memcpy(lpBuf, pData, nBytes);
  return static_cast<LONG>(nBytes);
}

LONG GetPart(const InputContext& ctx, DWORD dwIndex, LPVOID lpBuf, DWORD dwBufLen, bool bWide) {
  std::vector<DWORD> compUnitOf;
  std::vector<DWORD> resultUnitOf;
  const std::vector<WCHAR> compUnits = bWide ? ToUnits(ctx.comp, &compUnitOf) : std::vector<WCHAR>();
  switch (dwIndex) {
    case GCS_COMPSTR:
      if (bWide) return CopyOut(compUnits.data(), compUnits.size() * sizeof(WCHAR), lpBuf, dwBufLen);
      return CopyOut(ctx.comp.data(), ctx.comp.size(), lpBuf, dwBufLen);
    case GCS_RESULTSTR: {
      if (!bWide) return CopyOut(ctx.result.data(), ctx.result.size(), lpBuf, dwBufLen);
      const std::vector<WCHAR> units = ToUnits(ctx.result, &resultUnitOf);
      return CopyOut(units.data(), units.size() * sizeof(WCHAR), lpBuf, dwBufLen);
    }
    case GCS_COMPATTR: {
      if (ctx.attr.empty()) return IMM_ERROR_NODATA;
      if (!bWide) return CopyOut(ctx.attr.data(), ctx.attr.size(), lpBuf, dwBufLen);
      // One attribute per unit: the attribute of the character's first byte.
      std::vector<BYTE> attr(compUnits.size(), 0);
      for (size_t i = 0; i < ctx.comp.size() && i < ctx.attr.size(); i += CharBytes(ctx.comp, i)) {
        for (DWORD u = compUnitOf[i]; u < compUnitOf[i + CharBytes(ctx.comp, i)] && u < attr.size(); ++u)
          attr[u] = ctx.attr[i];
      }
      return CopyOut(attr.data(), attr.size(), lpBuf, dwBufLen);
    }
    case GCS_COMPCLAUSE: {
      if (ctx.clause.empty()) return IMM_ERROR_NODATA;
      std::vector<DWORD> clause = ctx.clause;
      if (bWide) {
        for (DWORD& c : clause) c = compUnitOf[std::min<size_t>(c, ctx.comp.size())];
      }
      return CopyOut(clause.data(), clause.size() * sizeof(DWORD), lpBuf, dwBufLen);
    }
    case GCS_CURSORPOS:
      return static_cast<LONG>(bWide ? compUnitOf[std::min<size_t>(ctx.nCursor, ctx.comp.size())]
                                     : ctx.nCursor);
    case GCS_DELTASTART:
      return 0;
    default:
      return IMM_ERROR_NODATA;
  }
}

void SetComposition(InputContext& ctx, const MRW_IME_COMPOSITION& c) {
  ctx.comp = c.pszComp != nullptr ? c.pszComp : "";
  ctx.attr.assign(c.pAttr, c.pAttr + (c.pAttr != nullptr ? std::max(c.nAttrLen, 0) : 0));
  ctx.clause.assign(c.pClause, c.pClause + (c.pClause != nullptr ? std::max(c.nClauseCount, 0) : 0));
  ctx.nCursor =
      static_cast<DWORD>(std::clamp<long long>(c.nCursor, 0, static_cast<long long>(ctx.comp.size())));
}

LPARAM CompositionFlags(const InputContext& ctx) {
  LPARAM flags = GCS_COMPSTR | GCS_CURSORPOS | GCS_DELTASTART;
  if (!ctx.attr.empty()) flags |= GCS_COMPATTR;
  if (!ctx.clause.empty()) flags |= GCS_COMPCLAUSE;
  return flags;
}

void ClearComposition(InputContext& ctx) {
  ctx.comp.clear();
  ctx.attr.clear();
  ctx.clause.clear();
  ctx.nCursor = 0;
}

// The composition becomes the result and the composition ends.
void Complete(InputContext& ctx) {
  const HWND hWnd = ctx.hWnd;
  if (!ctx.comp.empty()) {
    ctx.result = ctx.comp;
    const WPARAM wChar = LastChar(ctx.result);
    ClearComposition(ctx);
    SendMessageA(hWnd, WM_IME_COMPOSITION, wChar, GCS_RESULTSTR);
  }
  InputContext* pAfter = ContextOf(hWnd);
  if (pAfter != nullptr) pAfter->bComposing = false;
  SendMessageA(hWnd, WM_IME_ENDCOMPOSITION, 0, 0);
}

void Cancel(InputContext& ctx) {
  const HWND hWnd = ctx.hWnd;
  ClearComposition(ctx);
  SendMessageA(hWnd, WM_IME_COMPOSITION, 0, 0);
  InputContext* pAfter = ContextOf(hWnd);
  if (pAfter != nullptr) pAfter->bComposing = false;
  SendMessageA(hWnd, WM_IME_ENDCOMPOSITION, 0, 0);
}

}  // namespace

HIMC WINAPI ImmGetContext(HWND hWnd) {
  InputContext* pCtx = ContextOf(hWnd);
  if (pCtx == nullptr) return nullptr;
  ++State().log.nContextsHeld;
  return pCtx->hIMC;
}

BOOL WINAPI ImmReleaseContext(HWND hWnd, HIMC hIMC) {
  InputContext* pCtx = FromHandle(hIMC);
  if (pCtx == nullptr || pCtx->hWnd != hWnd) return FALSE;
  --State().log.nContextsHeld;
  return TRUE;
}

LONG WINAPI ImmGetCompositionStringA(HIMC hIMC, DWORD dwIndex, LPVOID lpBuf, DWORD dwBufLen) {
  const InputContext* pCtx = FromHandle(hIMC);
  return pCtx != nullptr ? GetPart(*pCtx, dwIndex, lpBuf, dwBufLen, false) : IMM_ERROR_GENERAL;
}

LONG WINAPI ImmGetCompositionStringW(HIMC hIMC, DWORD dwIndex, LPVOID lpBuf, DWORD dwBufLen) {
  const InputContext* pCtx = FromHandle(hIMC);
  return pCtx != nullptr ? GetPart(*pCtx, dwIndex, lpBuf, dwBufLen, true) : IMM_ERROR_GENERAL;
}

BOOL WINAPI ImmSetCompositionStringA(HIMC hIMC, DWORD dwIndex, LPVOID lpComp, DWORD dwCompLen, LPVOID lpRead,
                                     DWORD dwReadLen) {
  (void)lpRead;
  (void)dwReadLen;
  InputContext* pCtx = FromHandle(hIMC);
  if (pCtx == nullptr) return FALSE;
  MRW_IME_LOG& log = State().log;
  ++log.nSetStringCalls;
  log.dwLastSetStringIndex = dwIndex;
  std::memset(log.szLastSetString, 0, sizeof log.szLastSetString);
  if (dwIndex != SCS_SETSTR) return FALSE;
  const char* p = static_cast<const char*>(lpComp);
  const std::string comp = p != nullptr ? std::string(p, dwCompLen) : std::string();
  std::memcpy(log.szLastSetString, comp.data(), std::min(comp.size(), sizeof log.szLastSetString - 1));
  ClearComposition(*pCtx);
  pCtx->comp = comp;
  pCtx->nCursor = static_cast<DWORD>(comp.size());
  return TRUE;
}

BOOL WINAPI ImmNotifyIME(HIMC hIMC, DWORD dwAction, DWORD dwIndex, DWORD dwValue) {
  (void)dwValue;
  InputContext* pCtx = FromHandle(hIMC);
  if (pCtx == nullptr) return FALSE;
  MRW_IME_LOG& log = State().log;
  ++log.nNotifyCalls;
  log.dwLastNotifyAction = dwAction;
  log.dwLastNotifyIndex = dwIndex;
  switch (dwAction) {
    case NI_COMPOSITIONSTR:
      if (dwIndex == CPS_COMPLETE) {
        if (pCtx->bComposing) Complete(*pCtx);
        return TRUE;
      }
      if (dwIndex == CPS_CANCEL) {
        if (pCtx->bComposing) Cancel(*pCtx);
        return TRUE;
      }
      return FALSE;
    case NI_OPENCANDIDATE:
      SendMessageA(pCtx->hWnd, WM_IME_NOTIFY, IMN_OPENCANDIDATE, 1);
      return TRUE;
    case NI_CLOSECANDIDATE:
      SendMessageA(pCtx->hWnd, WM_IME_NOTIFY, IMN_CLOSECANDIDATE, 1);
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL WINAPI ImmSetCandidateWindow(HIMC hIMC, LPCANDIDATEFORM lpCandidate) {
  if (FromHandle(hIMC) == nullptr || lpCandidate == nullptr || lpCandidate->dwIndex >= 4) return FALSE;
  MRW_IME_LOG& log = State().log;
  ++log.nCandidateWindowCalls;
  log.lastCandidateForm = *lpCandidate;
  return TRUE;
}

BOOL WINAPI ImmGetOpenStatus(HIMC hIMC) {
  const InputContext* pCtx = FromHandle(hIMC);
  return pCtx != nullptr && pCtx->bOpen;
}

BOOL WINAPI ImmSetOpenStatus(HIMC hIMC, BOOL fOpen) {
  InputContext* pCtx = FromHandle(hIMC);
  if (pCtx == nullptr) return FALSE;
  pCtx->bOpen = fOpen ? TRUE : FALSE;
  SendMessageA(pCtx->hWnd, WM_IME_NOTIFY, IMN_SETOPENSTATUS, 0);
  return TRUE;
}

BOOL WINAPI ImmSimulateHotKey(HWND hWnd, DWORD dwHotKeyID) {
  InputContext* pCtx = ContextOf(hWnd);
  if (pCtx == nullptr) return FALSE;
  MRW_IME_LOG& log = State().log;
  ++log.nHotKeyCalls;
  log.dwLastHotKey = dwHotKeyID;
  // The Korean Hangul/English key switches the input method on and off.
  if (dwHotKeyID != IME_KHOTKEY_ENGLISH) return FALSE;
  return ImmSetOpenStatus(pCtx->hIMC, !pCtx->bOpen);
}

bool MrwImmGetResultString(HWND hWnd, std::string* pResult) {
  const auto it = State().contexts.find(hWnd);
  if (it == State().contexts.end()) return false;
  *pResult = it->second.result;
  return true;
}

void MrwImmResetContexts() {
  State() = ImeState{};
}

void MrwTestImeEnable(BOOL bEnable) {
  State().bEnabled = bEnable != FALSE;
  if (!bEnable) State().contexts.clear();
}

LRESULT MrwTestImeCompose(HWND hWnd, const MRW_IME_COMPOSITION* pComp, DWORD dwExtraFlags) {
  InputContext* pCtx = ContextOf(hWnd);
  if (pCtx == nullptr || pComp == nullptr) return 0;
  if (!pCtx->bComposing) {
    pCtx->bComposing = true;
    pCtx->result.clear();
    SendMessageA(hWnd, WM_IME_STARTCOMPOSITION, 0, 0);
    pCtx = ContextOf(hWnd);
    if (pCtx == nullptr) return 0;
  }
  SetComposition(*pCtx, *pComp);
  const LPARAM flags = CompositionFlags(*pCtx) | static_cast<LPARAM>(dwExtraFlags);
  return SendMessageA(hWnd, WM_IME_COMPOSITION, LastChar(pCtx->comp), flags);
}

void MrwTestImeCommit(HWND hWnd, const char* pszResult, const MRW_IME_COMPOSITION* pNext) {
  InputContext* pCtx = ContextOf(hWnd);
  if (pCtx == nullptr) return;
  pCtx->result = pszResult != nullptr ? pszResult : "";
  if (pNext != nullptr) {
    pCtx->bComposing = true;
    SetComposition(*pCtx, *pNext);
    SendMessageA(hWnd, WM_IME_COMPOSITION, LastChar(pCtx->result), GCS_RESULTSTR | CompositionFlags(*pCtx));
    return;
  }
  ClearComposition(*pCtx);
  SendMessageA(hWnd, WM_IME_COMPOSITION, LastChar(pCtx->result), GCS_RESULTSTR);
  pCtx = ContextOf(hWnd);
  if (pCtx != nullptr) pCtx->bComposing = false;
  SendMessageA(hWnd, WM_IME_ENDCOMPOSITION, 0, 0);
}

void MrwTestImeCancel(HWND hWnd) {
  InputContext* pCtx = ContextOf(hWnd);
  if (pCtx != nullptr) Cancel(*pCtx);
}

void MrwTestImeGetLog(MRW_IME_LOG* pLog) {
  if (pLog != nullptr) *pLog = State().log;
}
