#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace memotab {

enum class FileAccess {
  kReadOnly,        // others may read, nobody may write
  kReadWriteAlone,  // nobody else may open the file at all
};

enum class FileCreation {
  kNew,      // fail when the file exists
  kReplace,  // empty an existing file
};

// An open file of the table engine, read and written at explicit offsets. The file is
// closed when the object ends. Failures raise RuntimeError naming the file; a file held
// by another process fails to open with nOsCode OS_SHARING_VIOLATION (IsInUse()).
class File {
 public:
  static File Open(const std::string& path, FileAccess access);
  // Creates the file for reading and writing, held alone like kReadWriteAlone.
  static File Create(const std::string& path, FileCreation creation);

  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  const std::string& Path() const { return path_; }
  bool IsWritable() const { return writable_; }
  uint64_t Size() const;
  // Fills `buffer` from `offset`; returns the number of bytes read, fewer at the end of the file.
  size_t ReadAt(uint64_t offset, std::span<uint8_t> buffer) const;
  void WriteAt(uint64_t offset, std::span<const uint8_t> data);
  void Truncate(uint64_t size);
  // Makes the written bytes durable.
  void Sync();
  void Close();

 private:
  // A POSIX file descriptor or a Windows file handle.
  using NativeHandle = intptr_t;
  static constexpr NativeHandle kNoHandle = -1;

  File(std::string path, NativeHandle handle, bool writable)
      : path_(std::move(path)), handle_(handle), writable_(writable) {}
  // Closes a handle without reporting failures, for the destructor.
  static void Release(NativeHandle handle) noexcept;

  std::string path_;
  NativeHandle handle_ = kNoHandle;
  bool writable_ = false;
};

// A step the engine is about to take with a file.
enum class FileStep {
  kOpen,
  kCreate,
  kWrite,
  kTruncate,
  kReplace,  // the path is the file being replaced
  kRemove,
};

// Called before every step the engine takes with a file, with the file's path. A seam for
// tests that stop, slow down or fail the engine between its steps: the program never sets
// one. A hook may throw, as the step itself could. Set and cleared on one thread.
using FileStepHook = std::function<void(FileStep step, const std::string& path)>;
void SetFileStepHook(FileStepHook hook);
// Runs the hook, when one is set. The file layer calls it before each step.
void BeforeFileStep(FileStep step, const std::string& path);

// Puts `from` in the place of `to` in one step: afterwards `to` holds either its old or
// its new contents, never a mix, whenever the process stops. Neither file may be open.
void AtomicReplace(const std::string& from, const std::string& to);
// Removes a file; a file that does not exist is not an error.
void RemoveFile(const std::string& path);
// The path of the file in the directory of `sibling` whose name is `name` in any letter
// case; nothing when there is none.
std::optional<std::string> FindBeside(const std::string& sibling, const std::string& name);
// The directory part of a path, with its final separator ("" for a bare file name).
std::string DirectoryOf(const std::string& path);

}  // namespace memotab
