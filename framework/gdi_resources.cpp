#include "gdi_resources.h"

#include <algorithm>
#include <vector>

#include "framework_error.h"
#include "win.h"

namespace memotab {

namespace {

std::vector<TGdiObject*>& TrackingList() {
  static std::vector<TGdiObject*> list;
  return list;
}

}  // namespace

TGdiObject::TGdiObject(void* handle) : handle_(handle) { TrackingList().push_back(this); }

TGdiObject::~TGdiObject() {
  End();
  std::erase(TrackingList(), this);
}

void TGdiObject::End() {
  if (handle_ == nullptr) return;
  DeleteObject(static_cast<HGDIOBJ>(handle_));
  handle_ = nullptr;
}

std::shared_ptr<TBrush> TBrush::New(int32_t nColor) {
  const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(nColor));
  if (brush == nullptr) ThrowFrameworkError("Cannot create a brush of colour " + std::to_string(nColor));
  return std::shared_ptr<TBrush>(new TBrush(brush, nColor));
}

std::shared_ptr<TFont> TFont::New(const std::string& cFaceName, int nWidth, int nHeight, bool lBold) {
  const HFONT font = CreateFontA(nHeight, nWidth, 0, 0, lBold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, cFaceName.c_str());
  if (font == nullptr) ThrowFrameworkError("Cannot create the font " + cFaceName);
  return std::shared_ptr<TFont>(new TFont(font, cFaceName));
}

void RESALLFREE() {
  for (TGdiObject* object : TrackingList()) object->End();
}

int TrackedGdiObjects() {
  return static_cast<int>(std::count_if(TrackingList().begin(), TrackingList().end(),
                                        [](const TGdiObject* object) { return object->IsAlive(); }));
}

}  // namespace memotab
