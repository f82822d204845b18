// Engine files on Windows. A file opened for reading and writing is opened with share
// mode 0, so any other open of it fails with a sharing violation until it is closed.
#include <windows.h>

#include "engine_error.h"
#include "file.h"
#include "system_message.h"

namespace memotab {

namespace {

[[noreturn]] void ThrowSystemError(int genCode, int subCode, const std::string& what, const std::string& path,
                                   const std::string& operation, DWORD code = GetLastError()) {
  const std::string reason =
      code == ERROR_SHARING_VIOLATION ? "the file is in use by another program" : SystemMessage(code);
  ThrowEngineError(genCode, subCode, what + ": " + reason, path, operation, static_cast<int>(code));
}

HANDLE Native(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}

constexpr DWORD kMaxChunk = 1u << 30;

}  // namespace

std::string SystemMessage(unsigned long code) {
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = length > 0 ? std::string(buffer, length) : "system error " + std::to_string(code);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.')) text.pop_back();
  return text;
}

File File::Open(const std::string& path, FileAccess access) {
  BeforeFileStep(FileStep::kOpen, path);
  const bool writable = access == FileAccess::kReadWriteAlone;
  const HANDLE handle = CreateFileA(path.c_str(), writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                                    writable ? 0 : FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) ThrowSystemError(EG_OPEN, SUB_OPEN, "Cannot open file", path, "open");
  return File(path, reinterpret_cast<intptr_t>(handle), writable);
}

File File::Create(const std::string& path, FileCreation creation) {
  BeforeFileStep(FileStep::kCreate, path);
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    creation == FileCreation::kNew ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
  if (handle == INVALID_HANDLE_VALUE) ThrowSystemError(EG_CREATE, SUB_CREATE, "Cannot create file", path, "create");
  return File(path, reinterpret_cast<intptr_t>(handle), true);
}

void File::Release(NativeHandle handle) noexcept { CloseHandle(Native(handle)); }

uint64_t File::Size() const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(Native(handle_), &size)) ThrowSystemError(EG_READ, SUB_READ, "Cannot read file", path_, "size");
  return static_cast<uint64_t>(size.QuadPart);
}

size_t File::ReadAt(uint64_t offset, std::span<uint8_t> buffer) const {
  size_t done = 0;
  while (done < buffer.size()) {
    OVERLAPPED position = At(offset + done);
    DWORD count = 0;
    const auto chunk = static_cast<DWORD>(std::min<size_t>(buffer.size() - done, kMaxChunk));
    if (!ReadFile(Native(handle_), buffer.data() + done, chunk, &count, &position)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      ThrowSystemError(EG_READ, SUB_READ, "Cannot read file", path_, "read");
    }
    if (count == 0) break;
    done += count;
  }
  return done;
}

void File::WriteAt(uint64_t offset, std::span<const uint8_t> data) {
  BeforeFileStep(FileStep::kWrite, path_);
  size_t done = 0;
  while (done < data.size()) {
    OVERLAPPED position = At(offset + done);
    DWORD count = 0;
    const auto chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, kMaxChunk));
    if (!WriteFile(Native(handle_), data.data() + done, chunk, &count, &position) || count == 0) {
      ThrowSystemError(EG_WRITE, SUB_WRITE, "Cannot write file", path_, "write");
    }
    done += count;
  }
}

void File::Truncate(uint64_t size) {
  BeforeFileStep(FileStep::kTruncate, path_);
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(Native(handle_), position, nullptr, FILE_BEGIN) || !SetEndOfFile(Native(handle_))) {
    ThrowSystemError(EG_WRITE, SUB_WRITE, "Cannot write file", path_, "truncate");
  }
}

void File::Sync() {
  if (!FlushFileBuffers(Native(handle_))) ThrowSystemError(EG_WRITE, SUB_WRITE, "Cannot write file", path_, "sync");
}

void File::Close() {
  if (handle_ == kNoHandle) return;
  const HANDLE handle = Native(handle_);
  handle_ = kNoHandle;
  if (!CloseHandle(handle)) ThrowSystemError(EG_CLOSE, SUB_WRITE, "Cannot close file", path_, "close");
}

void AtomicReplace(const std::string& from, const std::string& to) {
  BeforeFileStep(FileStep::kReplace, to);
  if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ThrowSystemError(EG_WRITE, SUB_REPLACE, "Cannot replace file", to, "rename");
  }
}

void RemoveFile(const std::string& path) {
  BeforeFileStep(FileStep::kRemove, path);
  if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    ThrowSystemError(EG_WRITE, SUB_WRITE, "Cannot remove file", path, "remove");
  }
}

std::optional<std::string> FindBeside(const std::string& sibling, const std::string& name) {
  // Windows file names are not case-sensitive: the name itself finds the file.
  const std::string path = DirectoryOf(sibling) + name;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
  return path;
}

}  // namespace memotab
