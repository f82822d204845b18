#pragma once

#include <memory>
#include <string>

#include "gdi_resources.h"
#include "t_control.h"

namespace memotab {

class TDialog;

// A picture in a static control: redefined on a dialog's picture, or made in a window at
// pixel coordinates. A left-button press runs bLClicked.
class TBitmap : public TControl {
 public:
  static std::shared_ptr<TBitmap> ReDefine(int nId, const std::string& cResName, TDialog& oDlg);
  static std::shared_ptr<TBitmap> New(int nTop, int nLeft, int nWidth, int nHeight, const std::string& cResName,
                                      TWindow& oWnd);

  // Replaces the picture (the old one is freed); false when the new one cannot be loaded.
  // The caller then calls Refresh().
  bool LoadImage(const std::string& cResName);
  // Takes over a dialog's picture control: the picture the control loaded for itself from
  // the template is taken from it and freed (it would outlive the dialog), since this
  // object paints its own.
  void Initiate(HWND hDlg) override;
  void Refresh() override;
  Result HandleEvent(unsigned nMsg, WPARAM nWParam, LPARAM nLParam) override;

  std::shared_ptr<TPicture> oPicture;
  bool lTransparent = false;  // leave out the key colour and show the container through it

 protected:
  // The picture goes with the window, so that an object kept after it (a closed note's
  // strip) holds no bitmap.
  Result Destroy() override;

 private:
  TBitmap() = default;
  void PaintPicture();
};

}  // namespace memotab
