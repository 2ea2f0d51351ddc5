#include "host_code_font.h"

namespace mirel_host {

namespace {

constexpr int kFontPoints = 10;
const char kFontFace[] = "GulimChe";

}  // namespace

LOGFONTA CodeFont(int nLogPixelsY) {
  LOGFONTA lf = {};
  lf.lfHeight = -MulDiv(kFontPoints, nLogPixelsY, 72);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpynA(lf.lfFaceName, kFontFace, LF_FACESIZE);
  return lf;
}

}  // namespace mirel_host
