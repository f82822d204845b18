#include "memo_file.h"

#include <algorithm>
#include <array>
#include <vector>

#include "engine_error.h"

namespace memotab {

namespace {

constexpr uint32_t kTextBlock = 1;
constexpr size_t kBlockHeaderSize = 8;

uint32_t ReadBig32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | uint32_t{bytes[3]};
}

void WriteBig32(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

uint32_t FirstDataBlock(uint16_t blockSize) {
  return (MemoFile::kHeaderSize + blockSize - 1) / blockSize;
}

}  // namespace

MemoFile MemoFile::Open(const std::string& path, FileAccess access) {
  File file = File::Open(path, access);
  const uint64_t size = file.Size();
  std::array<uint8_t, 8> header{};
  if (size < kHeaderSize || file.ReadAt(0, header) < header.size()) {
    ThrowCorruptMemo(path, "open", "the header is truncated (the file has " + std::to_string(size) + " bytes)");
  }
  const uint32_t nextFree = ReadBig32(&header[0]);
  const auto blockSize = static_cast<uint16_t>(header[6] << 8 | header[7]);
  if (blockSize == 0) ThrowCorruptMemo(path, "open", "the block size is 0");
  if (nextFree < FirstDataBlock(blockSize)) {
    ThrowCorruptMemo(path, "open", "the next free block " + std::to_string(nextFree) + " lies inside the header");
  }
  return MemoFile(std::move(file), blockSize, nextFree, size);
}

MemoFile MemoFile::Create(const std::string& path, FileCreation creation) {
  File file = File::Create(path, creation);
  std::vector<uint8_t> header(kHeaderSize, 0);
  const uint32_t nextFree = FirstDataBlock(kNewBlockSize);
  WriteBig32(&header[0], nextFree);
  header[6] = static_cast<uint8_t>(kNewBlockSize >> 8);
  header[7] = static_cast<uint8_t>(kNewBlockSize & 0xFF);
  file.WriteAt(0, header);
  return MemoFile(std::move(file), kNewBlockSize, nextFree, kHeaderSize);
}

std::optional<std::string> MemoFile::TryRead(uint32_t block, std::string& problem) const {
  if (block == 0) return std::string{};
  if (block < FirstDataBlock(blockSize_)) {
    problem = "the memo block " + std::to_string(block) + " lies inside the header";
    return std::nullopt;
  }
  const uint64_t offset = uint64_t{block} * blockSize_;
  if (offset + kBlockHeaderSize > size_) {
    problem = "the memo block " + std::to_string(block) + " is past the end of the memo file (" +
              std::to_string(size_) + " bytes)";
    return std::nullopt;
  }
  const std::span<const uint8_t> header = Bytes(offset, kBlockHeaderSize);
  const uint32_t length = header.size() < kBlockHeaderSize ? UINT32_MAX : ReadBig32(&header[4]);
  if (offset + kBlockHeaderSize + length > size_) {
    problem = "the memo length " + std::to_string(length) + " at block " + std::to_string(block) +
              " is past the end of the memo file (" + std::to_string(size_) + " bytes)";
    return std::nullopt;
  }
  const std::span<const uint8_t> bytes = Bytes(offset + kBlockHeaderSize, length);
  if (bytes.size() < length) {
    problem = "the memo at block " + std::to_string(block) + " is truncated";
    return std::nullopt;
  }
  return std::string(bytes.begin(), bytes.end());
}

std::string MemoFile::Read(uint32_t block, const std::string& context) const {
  std::string problem;
  std::optional<std::string> text = TryRead(block, problem);
  if (!text) ThrowCorruptMemo(file_.Path(), "read", context + ": " + problem);
  return std::move(*text);
}

std::span<const uint8_t> MemoFile::Bytes(uint64_t offset, size_t count) const {
  constexpr size_t kWindowSize = 64 * 1024;
  const bool inWindow = offset >= windowOffset_ && offset + count <= windowOffset_ + window_.size();
  if (!inWindow) {
    window_.resize(std::max(count, kWindowSize));
    window_.resize(file_.ReadAt(offset, window_));
    windowOffset_ = offset;
  }
  const size_t start = static_cast<size_t>(offset - windowOffset_);
  return std::span<const uint8_t>(window_).subspan(start, std::min(count, window_.size() - start));
}

bool MemoFile::Holds(uint32_t block, std::string_view text) const {
  std::string problem;
  const std::optional<std::string> stored = TryRead(block, problem);
  return stored && *stored == text;
}

uint32_t MemoFile::Write(std::string_view text) {
  if (text.empty()) return 0;
  const uint64_t used = kBlockHeaderSize + text.size();
  const uint64_t blocks = (used + blockSize_ - 1) / blockSize_;
  if (text.size() > UINT32_MAX - kBlockHeaderSize || nextFree_ + blocks > UINT32_MAX) {
    ThrowEngineError(EG_WRITE, SUB_WRITE, "The memo file is full", file_.Path(), "write");
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(blocks * blockSize_), 0);
  WriteBig32(&bytes[0], kTextBlock);
  WriteBig32(&bytes[4], static_cast<uint32_t>(text.size()));
  std::copy(text.begin(), text.end(), bytes.begin() + kBlockHeaderSize);

  // The text first, then the header that hands its blocks out: a process that stops in
  // between leaves a memo file whose next free block is still the old one.
  const uint32_t block = nextFree_;
  const uint64_t offset = uint64_t{block} * blockSize_;
  file_.WriteAt(offset, bytes);
  window_.clear();
  size_ = std::max(size_, offset + bytes.size());
  std::array<uint8_t, 4> next{};
  WriteBig32(next.data(), static_cast<uint32_t>(nextFree_ + blocks));
  file_.WriteAt(0, next);
  nextFree_ = static_cast<uint32_t>(nextFree_ + blocks);
  return block;
}

}  // namespace memotab
