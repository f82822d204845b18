// Engine files on POSIX systems. Exclusivity comes from flock(), which no other open of
// the same file can take while this one holds it.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "engine_error.h"
#include "file.h"
#include "system_message.h"

namespace memotab {

namespace {

int OsCodeOf(int error) {
  switch (error) {
    case ENOENT: return OS_FILE_NOT_FOUND;
    case ENOTDIR: return OS_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS: return OS_ACCESS_DENIED;
    case EWOULDBLOCK: return OS_SHARING_VIOLATION;
    case ENOSPC: return OS_DISK_FULL;
    default: return OS_NONE;
  }
}

[[noreturn]] void ThrowSystemError(int genCode, int subCode, const std::string& what, const std::string& path,
                                   const std::string& operation, int error = errno) {
  const int osCode = OsCodeOf(error);
  const std::string reason =
      osCode == OS_SHARING_VIOLATION ? "the file is in use by another program" : SystemMessage(static_cast<unsigned long>(error));
  ThrowEngineError(genCode, subCode, what + ": " + reason, path, operation, osCode);
}

int Descriptor(intptr_t handle) { return static_cast<int>(handle); }

// Takes the lock that stands for the sharing mode; closes the descriptor on failure.
void Lock(int descriptor, bool exclusive, const std::string& path, int genCode, int subCode, const char* what) {
  if (::flock(descriptor, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return;
  const int error = errno;
  ::close(descriptor);
  ThrowSystemError(genCode, subCode, what, path, "open", error);
}

}  // namespace

std::string SystemMessage(unsigned long code) { return std::strerror(static_cast<int>(code)); }

File File::Open(const std::string& path, FileAccess access) {
  BeforeFileStep(FileStep::kOpen, path);
  const bool writable = access == FileAccess::kReadWriteAlone;
  const int descriptor = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (descriptor < 0) ThrowSystemError(EG_OPEN, SUB_OPEN, "Cannot open file", path, "open");
  Lock(descriptor, writable, path, EG_OPEN, SUB_OPEN, "Cannot open file");
  return File(path, descriptor, writable);
}

File File::Create(const std::string& path, FileCreation creation) {
  BeforeFileStep(FileStep::kCreate, path);
  const int flags = O_RDWR | O_CREAT | O_CLOEXEC | (creation == FileCreation::kNew ? O_EXCL : O_TRUNC);
  const int descriptor = ::open(path.c_str(), flags, 0644);
  if (descriptor < 0) ThrowSystemError(EG_CREATE, SUB_CREATE, "Cannot create file", path, "create");
  Lock(descriptor, true, path, EG_CREATE, SUB_CREATE, "Cannot create file");
  return File(path, descriptor, true);
}

void File::Release(NativeHandle handle) noexcept { ::close(Descriptor(handle)); }

uint64_t File::Size() const {
  struct stat status {};
  if (::fstat(Descriptor(handle_), &status) != 0) ThrowSystemError(EG_READ, SUB_READ, "Cannot read file", path_, "size");
  return static_cast<uint64_t>(status.st_size);
}

size_t File::ReadAt(uint64_t offset, std::span<uint8_t> buffer) const {
  size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t count = ::pread(Descriptor(handle_), buffer.data() + done, buffer.size() - done,
                                  static_cast<off_t>(offset + done));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) ThrowSystemError(EG_READ, SUB_READ, "Cannot read file", path_, "read");
    if (count == 0) break;
    done += static_cast<size_t>(count);
  }
  return done;
}

void File::WriteAt(uint64_t offset, std::span<const uint8_t> data) {
  BeforeFileStep(FileStep::kWrite, path_);
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t count = ::pwrite(Descriptor(handle_), data.data() + done, data.size() - done,
                                   static_cast<off_t>(offset + done));
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) ThrowSystemError(EG_WRITE, SUB_WRITE, "Cannot write file", path_, "write", count < 0 ? errno : ENOSPC);
    done += static_cast<size_t>(count);
  }
}

void File::Truncate(uint64_t size) {
  BeforeFileStep(FileStep::kTruncate, path_);
  if (::ftruncate(Descriptor(handle_), static_cast<off_t>(size)) != 0) {
    ThrowSystemError(EG_WRITE, SUB_WRITE, "Cannot write file", path_, "truncate");
  }
}

void File::Sync() {
  if (::fsync(Descriptor(handle_)) != 0) ThrowSystemError(EG_WRITE, SUB_WRITE, "Cannot write file", path_, "sync");
}

void File::Close() {
  if (handle_ == kNoHandle) return;
  const int descriptor = Descriptor(handle_);
  handle_ = kNoHandle;
  if (::close(descriptor) != 0) ThrowSystemError(EG_CLOSE, SUB_WRITE, "Cannot close file", path_, "close");
}

void AtomicReplace(const std::string& from, const std::string& to) {
  BeforeFileStep(FileStep::kReplace, to);
  if (::rename(from.c_str(), to.c_str()) != 0) {
    ThrowSystemError(EG_WRITE, SUB_REPLACE, "Cannot replace file", to, "rename");
  }
  // Make the new directory entry durable too. The rename has already happened, so a
  // directory that cannot be synced does not undo it.
  const std::string directory = DirectoryOf(to);
  const int descriptor = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor >= 0) {
    ::fsync(descriptor);
    ::close(descriptor);
  }
}

void RemoveFile(const std::string& path) {
  BeforeFileStep(FileStep::kRemove, path);
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
    ThrowSystemError(EG_WRITE, SUB_WRITE, "Cannot remove file", path, "remove");
  }
}

std::optional<std::string> FindBeside(const std::string& sibling, const std::string& name) {
  const std::string directory = DirectoryOf(sibling);
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(directory.empty() ? "." : directory.c_str()), ::closedir);
  if (!listing) return std::nullopt;
  while (const dirent* entry = ::readdir(listing.get())) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0) return directory + entry->d_name;
  }
  return std::nullopt;
}

}  // namespace memotab
