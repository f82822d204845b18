#include "gdi_resources.h"

#include <vector>

#include "disk.h"
#include "framework_error.h"
#include "win.h"

namespace memotab {

namespace {

// Never destroyed, so that objects held by static variables (the application's windows)
// can still leave it while the program exits.
std::vector<TGdiObject*>& TrackingList() {
  static auto* list = new std::vector<TGdiObject*>();
  return *list;
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

std::shared_ptr<TPicture> TPicture::Load(const std::string& cName) {
  return FILE_EXISTS(cName) ? FromFile(cName) : FromResource(cName);
}

std::shared_ptr<TPicture> TPicture::FromFile(const std::string& cPath) {
  return Made(LoadImageA(nullptr, cPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), cPath);
}

std::shared_ptr<TPicture> TPicture::FromResource(const std::string& cResName) {
  return Made(LoadImageA(GetModuleHandleA(nullptr), cResName.c_str(), IMAGE_BITMAP, 0, 0, 0), cResName);
}

std::shared_ptr<TPicture> TPicture::Made(void* image, const std::string& cName) {
  if (image == nullptr) return nullptr;
  BITMAP info{};
  GetObjectA(image, sizeof info, &info);
  return std::shared_ptr<TPicture>(new TPicture(image, cName, info.bmWidth, info.bmHeight));
}

void TPicture::Draw(HDC hDC, int x, int y, bool lTransparent) const {
  if (handle_ == nullptr) return;
  const HDC source = CreateCompatibleDC(hDC);
  const HGDIOBJ previous = SelectObject(source, handle_);
  if (lTransparent) {
    TransparentBlt(hDC, x, y, nWidth, nHeight, source, 0, 0, nWidth, nHeight, static_cast<UINT>(kTransparentKey));
  } else {
    BitBlt(hDC, x, y, nWidth, nHeight, source, 0, 0, SRCCOPY);
  }
  SelectObject(source, previous);
  DeleteDC(source);
}

void RESALLFREE() {
  for (TGdiObject* object : TrackingList()) object->End();
}

}  // namespace memotab
