#pragma once

#include <memory>
#include <string>

#include "win_handles.h"

namespace memotab {

// An icon held without a window of its own: from the program's resources by name, or the
// first icon of an icon file.
class TIcon {
 public:
  // The first icon of `cIcoFile` when one is given, else the icon resource `cResName`.
  // Raises RuntimeError when the icon cannot be loaded.
  static std::shared_ptr<TIcon> New(const std::string& cResName, const std::string& cIcoFile = {});
  TIcon(const TIcon&) = delete;
  TIcon& operator=(const TIcon&) = delete;
  ~TIcon();

  // Frees the icon; later calls do nothing.
  void End();

  HICON hIcon = nullptr;
  const std::string cResName;
  const std::string cIcoFile;

 private:
  TIcon(HICON icon, std::string resName, std::string icoFile)
      : hIcon(icon), cResName(std::move(resName)), cIcoFile(std::move(icoFile)) {}
};

}  // namespace memotab
