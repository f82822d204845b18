#include "t_bitmap.h"

#include "win.h"

#include "t_dialog.h"
#include "window_dc.h"

namespace memotab {

std::shared_ptr<TBitmap> TBitmap::ReDefine(int nId, const std::string& cResName, TDialog& oDlg) {
  std::shared_ptr<TBitmap> bitmap(new TBitmap());
  bitmap->oPicture = TPicture::Load(cResName);
  bitmap->Attach(nId, oDlg);
  return bitmap;
}

std::shared_ptr<TBitmap> TBitmap::New(int nTop, int nLeft, int nWidth, int nHeight, const std::string& cResName,
                                      TWindow& oWnd) {
  std::shared_ptr<TBitmap> bitmap(new TBitmap());
  bitmap->oPicture = TPicture::Load(cResName);
  bitmap->CreateIn(oWnd, "STATIC", SS_NOTIFY, nTop, nLeft, nWidth, nHeight);
  return bitmap;
}

bool TBitmap::LoadImage(const std::string& cResName) {
  std::shared_ptr<TPicture> picture = TPicture::Load(cResName);
  if (!picture) return false;
  oPicture = std::move(picture);
  return true;
}

void TBitmap::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  if (const auto own = reinterpret_cast<HGDIOBJ>(SendMessageA(hWnd, STM_SETIMAGE, IMAGE_BITMAP, 0))) DeleteObject(own);
}

void TBitmap::Refresh() { InvalidateRect(hWnd, nullptr, TRUE); }

void TBitmap::PaintPicture() {
  const PaintScope paint(hWnd);
  const HDC target = paint.hDC();
  RECT client{};
  GetClientRect(hWnd, &client);
  const HBRUSH background = oWnd != nullptr && oWnd->oBrush && !dynamic_cast<TDialog*>(oWnd)
                                ? oWnd->oBrush->hBrush()
                                : GetSysColorBrush(COLOR_BTNFACE);
  FillRect(target, &client, background);
  if (oPicture) oPicture->Draw(target, 0, 0, lTransparent);
}

Result TBitmap::Destroy() {
  oPicture.reset();
  return TControl::Destroy();
}

Result TBitmap::HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) {
  switch (nMsg) {
    case WM_PAINT:
      PaintPicture();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    default:
      return TControl::HandleEvent(nMsg, nWParam, nLParam);
  }
}

}  // namespace memotab
