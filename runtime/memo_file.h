#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "file.h"

namespace memotab {

// The memo file of a table: texts stored in blocks, numbered from the start of the file.
// Block 0 means "no text". A text is never overwritten: writing one always takes new
// blocks at the end, so a text that a record points to stays intact until the record
// points elsewhere.
class MemoFile {
 public:
  static constexpr uint32_t kHeaderSize = 512;
  static constexpr uint16_t kNewBlockSize = 64;

  // Opens and checks the memo file; raises RuntimeError naming the file when it is damaged.
  static MemoFile Open(const std::string& path, FileAccess access);
  // Writes an empty memo file with blocks of kNewBlockSize bytes.
  static MemoFile Create(const std::string& path, FileCreation creation);

  const std::string& Path() const { return file_.Path(); }
  uint16_t BlockSize() const { return blockSize_; }

  // The text that starts at `block`; "" for block 0. Raises RuntimeError (naming the file,
  // with `context` leading the description) when the block is not a sound memo.
  std::string Read(uint32_t block, const std::string& context) const;
  // Whether `block` is a sound memo holding exactly `text`.
  bool Holds(uint32_t block, std::string_view text) const;
  // Stores `text` in new blocks and returns the first one; 0 for an empty text.
  uint32_t Write(std::string_view text);
  void Close() { file_.Close(); }

 private:
  // The text of a block, or nothing with `problem` set when the block is not sound.
  std::optional<std::string> TryRead(uint32_t block, std::string& problem) const;

  MemoFile(File file, uint16_t blockSize, uint32_t nextFree, uint64_t size)
      : file_(std::move(file)), blockSize_(blockSize), nextFree_(nextFree), size_(size) {}

  // Bytes of the file from `offset`, through a read-ahead window so that a scan that
  // reads memos in file order reads the file in large pieces.
  std::span<const uint8_t> Bytes(uint64_t offset, size_t count) const;

  File file_;
  uint16_t blockSize_;
  uint32_t nextFree_;
  uint64_t size_;  // this process is the only writer, so the size is known
  mutable std::vector<uint8_t> window_;
  mutable uint64_t windowOffset_ = 0;
};

}  // namespace memotab
