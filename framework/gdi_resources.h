#pragma once

#include <memory>
#include <string>

#include "win_handles.h"

namespace memotab {

// A GDI object the framework made (brush, font, bitmap). It is in the framework's tracking
// list from creation until it is released, either by its owner (End, or the end of the
// object) or by RESALLFREE, whichever comes first.
class TGdiObject {
 public:
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  virtual ~TGdiObject();

  // Deletes the GDI object; later calls do nothing.
  void End();
  bool IsAlive() const { return handle_ != nullptr; }

 protected:
  explicit TGdiObject(void* handle);
  void* handle_;
};

// A solid brush.
class TBrush : public TGdiObject {
 public:
  // Raises RuntimeError when the system cannot make the brush.
  static std::shared_ptr<TBrush> New(int32_t nColor);
  HBRUSH hBrush() const { return static_cast<HBRUSH>(handle_); }
  const int32_t nColor;

 private:
  TBrush(void* handle, int32_t color) : TGdiObject(handle), nColor(color) {}
};

// A font of a face, width and height (negative: character height in pixels).
class TFont : public TGdiObject {
 public:
  static std::shared_ptr<TFont> New(const std::string& cFaceName, int nWidth, int nHeight, bool lBold = false);
  HFONT hFont() const { return static_cast<HFONT>(handle_); }
  const std::string cFaceName;

 private:
  TFont(void* handle, std::string face) : TGdiObject(handle), cFaceName(std::move(face)) {}
};

// A bitmap picture: from a .BMP file of that name when one exists, else the bitmap resource
// of the program with that name.
class TPicture : public TGdiObject {
 public:
  // Nothing when neither a file nor a resource of that name can be loaded.
  static std::shared_ptr<TPicture> Load(const std::string& cName);
  // The .BMP file, or the bitmap resource of the program, of that name; nothing when it
  // cannot be loaded.
  static std::shared_ptr<TPicture> FromFile(const std::string& cPath);
  static std::shared_ptr<TPicture> FromResource(const std::string& cResName);
  HBITMAP hBitmap() const { return static_cast<HBITMAP>(handle_); }
  // Draws the picture with its top-left corner at (x, y). Transparent drawing leaves out
  // the pixels of the key colour, magenta (255, 0, 255).
  void Draw(HDC hDC, int x, int y, bool lTransparent) const;
  const std::string cName;
  const int nWidth;
  const int nHeight;

 private:
  TPicture(void* handle, std::string name, int width, int height)
      : TGdiObject(handle), cName(std::move(name)), nWidth(width), nHeight(height) {}
  static std::shared_ptr<TPicture> Made(void* image, const std::string& cName);
};

// The key colour of transparent pictures.
inline constexpr int32_t kTransparentKey = 0xFF00FF;

// Deletes every GDI object of the tracking list that is still alive. Called once, last,
// when the program ends.
void RESALLFREE();

}  // namespace memotab
