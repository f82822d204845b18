#include "t_icon.h"

#include "win.h"

#include <shellapi.h>

#include "framework_error.h"

namespace memotab {

std::shared_ptr<TIcon> TIcon::New(const std::string& cResName, const std::string& cIcoFile) {
  HICON icon = nullptr;
  if (!cIcoFile.empty()) {
    icon = ExtractIconA(GetModuleHandleA(nullptr), cIcoFile.c_str(), 0);
    if (icon == reinterpret_cast<HICON>(1)) icon = nullptr;  // the file holds no icon
  } else {
    // A copy that this object owns, so that ending it never touches the shared resource.
    icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), cResName.c_str(), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  }
  if (icon == nullptr) {
    ThrowFrameworkError("Cannot load the icon " + (cIcoFile.empty() ? cResName : cIcoFile));
  }
  return std::shared_ptr<TIcon>(new TIcon(icon, cResName, cIcoFile));
}

TIcon::~TIcon() { End(); }

void TIcon::End() {
  if (hIcon == nullptr) return;
  DestroyIcon(hIcon);
  hIcon = nullptr;
}

}  // namespace memotab
