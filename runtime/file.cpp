#include "file.h"

namespace memotab {

namespace {

FileStepHook& StepHook() {
  static FileStepHook hook;
  return hook;
}

}  // namespace

void SetFileStepHook(FileStepHook hook) { StepHook() = std::move(hook); }

void BeforeFileStep(FileStep step, const std::string& path) {
  if (StepHook()) StepHook()(step, path);
}

File::File(File&& other) noexcept
    : path_(std::move(other.path_)), handle_(other.handle_), writable_(other.writable_) {
  other.handle_ = kNoHandle;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (handle_ != kNoHandle) Release(handle_);
    path_ = std::move(other.path_);
    handle_ = other.handle_;
    writable_ = other.writable_;
    other.handle_ = kNoHandle;
  }
  return *this;
}

File::~File() {
  if (handle_ != kNoHandle) Release(handle_);
}

std::string DirectoryOf(const std::string& path) {
#ifdef _WIN32
  const size_t separator = path.find_last_of("\\/:");
#else
  const size_t separator = path.rfind('/');
#endif
  return separator == std::string::npos ? std::string{} : path.substr(0, separator + 1);
}

}  // namespace memotab
