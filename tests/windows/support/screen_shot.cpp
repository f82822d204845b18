#include "screen_shot.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "ui_driver.h"

namespace memotab::test {

ScreenShot::ScreenShot(const RECT& area)
    : area_(area), width_(std::max<int>(0, area.right - area.left)), height_(std::max<int>(0, area.bottom - area.top)) {
  if (width_ == 0 || height_ == 0) return;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ previous = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width_, height_, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const auto* quads = static_cast<const RGBQUAD*>(bits);
  pixels_.reserve(static_cast<size_t>(width_) * static_cast<size_t>(height_));
  for (size_t i = 0; i < static_cast<size_t>(width_) * static_cast<size_t>(height_); ++i) {
    pixels_.push_back(RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue));
  }
  SelectObject(memory, previous);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

ScreenShot::ScreenShot(const RECT& area, std::vector<COLORREF> pixels)
    : area_(area), width_(area.right - area.left), height_(area.bottom - area.top), pixels_(std::move(pixels)) {}

namespace {

// The path of a file as the Linux side sees it; empty when not under Wine.
std::string UnixPath(const std::string& path) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  const auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return {};
  char* unix = toUnix(std::filesystem::path(path).wstring().c_str());
  if (unix == nullptr) return {};
  std::string result(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

}  // namespace

std::optional<ScreenShot> ScreenShot::OfDisplay(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return std::nullopt;
  char folder[MAX_PATH] = {};
  char file[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  if (GetTempFileNameA(folder, "scr", 0, file) == 0) return std::nullopt;
  // Kept until the end, so that no test beside this one is given its name meanwhile.
  const struct RemovedAtEnd {
    const char* file;
    ~RemovedAtEnd() { DeleteFileA(file); }
  } removed{file};
  const std::string unixFile = UnixPath(file);
  if (unixFile.empty() || std::string(MEMOTAB_IMPORT).empty()) return std::nullopt;
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
  const std::string command = std::string(MEMOTAB_IMPORT) + " -silent -window root -crop " + std::to_string(width) + "x" +
                              std::to_string(height) + "+" + std::to_string(area.left) + "+" + std::to_string(area.top) +
                              " +repage -depth 8 rgb:" + unixFile;
  std::error_code error;
  const bool written = StartUnixProgram(command) && WaitUntil([&] {
                         return std::filesystem::file_size(file, error) == bytes;
                       }, std::chrono::seconds(10));
  std::vector<COLORREF> pixels;
  if (written) {
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> rgb(bytes);
    in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(bytes));
    if (in) {
      for (size_t i = 0; i < bytes; i += 3) pixels.push_back(RGB(rgb[i], rgb[i + 1], rgb[i + 2]));
    }
  }
  if (pixels.empty()) return std::nullopt;
  return ScreenShot(area, std::move(pixels));
}

std::optional<COLORREF> ScreenShot::At(int x, int y) const {
  const int column = x - area_.left;
  const int row = y - area_.top;
  if (column < 0 || row < 0 || column >= width_ || row >= height_) return std::nullopt;
  return pixels_[static_cast<size_t>(row) * static_cast<size_t>(width_) + static_cast<size_t>(column)];
}

bool ScreenShot::Holds(const RECT& area, COLORREF colour) const {
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (At(x, y) == colour) return true;
    }
  }
  return false;
}

int ScreenShot::CountColours() const { return static_cast<int>(std::set<COLORREF>(pixels_.begin(), pixels_.end()).size()); }

void ScreenShot::Save(const std::string& path) const { SaveBitmapFile(path, width_, height_, pixels_); }

void SaveBitmapFile(const std::string& path, int width, int height, const std::vector<COLORREF>& pixels) {
  const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  std::vector<uint8_t> image(rowBytes * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    uint8_t* row = image.data() + static_cast<size_t>(height - 1 - y) * rowBytes;  // bottom row first
    for (int x = 0; x < width; ++x) {
      const COLORREF colour = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      row[x * 3] = GetBValue(colour);
      row[x * 3 + 1] = GetGValue(colour);
      row[x * 3 + 2] = GetRValue(colour);
    }
  }
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + image.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
}

std::string ArtifactPath(const std::string& name) {
  // Beside the test program, whatever the test's working directory is.
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::filesystem::path folder = std::filesystem::path(self).parent_path() / "artifacts";
  std::filesystem::create_directories(folder);
  return (folder / name).string();
}

}  // namespace memotab::test
