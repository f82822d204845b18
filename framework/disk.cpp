#include "disk.h"

#include "win.h"

#include <memory>

namespace memotab {

std::string CURDRIVE() {
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, directory);
  return directory[0] != '\0' && directory[1] == ':' ? std::string(1, directory[0]) : std::string{};
}

std::string CURDIR() {
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, directory);
  std::string path = directory;
  if (path.size() >= 2 && path[1] == ':') path.erase(0, 2);
  while (!path.empty() && path.front() == '\\') path.erase(0, 1);
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string GETWINDOWSDIR() {
  char directory[255] = {};
  const UINT length = GetWindowsDirectoryA(directory, sizeof directory);
  return length < sizeof directory ? std::string(directory, length) : std::string{};
}

std::vector<std::string> DIRECTORY(const std::string& cPattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(cPattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  const std::unique_ptr<void, decltype(&FindClose)> owner(search, FindClose);
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  return names;
}

bool FILE_EXISTS(const std::string& cPath) {
  const DWORD attributes = GetFileAttributesA(cPath.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace memotab
