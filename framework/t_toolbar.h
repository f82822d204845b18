#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "t_control.h"

struct _IMAGELIST;

namespace memotab {

class TToolBar;

// A list of images of one size for a toolbar.
class TImageList {
 public:
  static std::shared_ptr<TImageList> New(int nWidth, int nHeight);
  TImageList(const TImageList&) = delete;
  TImageList& operator=(const TImageList&) = delete;
  ~TImageList();

  // Adds the bitmap resource (or .BMP file) `cBitmap`; its pixels of colour nClrMask become
  // transparent. Raises RuntimeError when the bitmap cannot be loaded.
  void AddMasked(const std::string& cBitmap, int32_t nClrMask);
  int Count() const;

  _IMAGELIST* hImageList = nullptr;

 private:
  explicit TImageList(_IMAGELIST* list) : hImageList(list) {}
};

// A toolbar docked at the top of its window: button n shows image n of its image list and
// runs its action with the toolbar; each button's tooltip shows when the mouse rests on it.
class TToolBar : public TControl {
 public:
  static std::shared_ptr<TToolBar> New(TWindow& oWnd, int nBtnWidth, int nBtnHeight, std::shared_ptr<TImageList> oImageList);

  void AddButton(std::function<void(TToolBar&)> bAction, const std::string& cToolTip, const std::string& cText = {},
                 std::function<bool()> bWhen = nullptr);
  void AddSeparator();
  // The height the toolbar takes at the top of its window.
  int Height() const { return nBtnHeight + 3; }

  // A button's click, which its window receives as a command.
  Result ReflectedCommand(int nCommandId, int nNotifyCode) override;

  const int nBtnWidth;
  const int nBtnHeight;
  std::shared_ptr<TImageList> oImageList;

 private:
  TToolBar(int width, int height) : nBtnWidth(width), nBtnHeight(height) {}
  std::vector<std::function<void(TToolBar&)>> actions_;
};

}  // namespace memotab
