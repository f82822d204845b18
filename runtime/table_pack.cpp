// Packing: the table without its deleted records is built beside the table file and then
// put in its place.
#include <algorithm>
#include <chrono>
#include <thread>

#include "engine_error.h"
#include "table.h"

namespace memotab {

namespace {

// How long a pack waits for another program that holds the new table file.
constexpr int kReopenAttempts = 40;
constexpr auto kReopenPause = std::chrono::milliseconds(50);

}  // namespace

void Table::Pack() {
  Dbf();
  if (!writable_) ThrowEngineError(EG_READONLY, SUB_READ_ONLY, "The table is open read-only", path_, "pack");
  // Read every record once, keeping the live ones.
  std::vector<uint8_t> live;
  uint32_t liveCount = 0;
  for (uint32_t recNo = 1; recNo <= header_.recordCount; ++recNo) {
    LoadRecord(recNo, "pack");
    if (Deleted()) continue;
    live.insert(live.end(), record_.begin(), record_.end());
    ++liveCount;
  }
  if (liveCount == header_.recordCount) {
    GoTop();
    return;
  }

  TableHeader packed = header_;
  packed.recordCount = liveCount;
  const auto prefix = packed.EncodePrefix(Date::Today());
  std::vector<uint8_t> image(header_.headerLength);
  if (Dbf().ReadAt(0, image) < image.size()) ThrowCorruptTable(path_, "pack", "the header is truncated");
  std::copy(prefix.begin(), prefix.end(), image.begin());
  image.insert(image.end(), live.begin(), live.end());
  image.push_back(kEndOfFile);

  // The packed table is complete and durable beside the original before it takes its place.
  const std::string temporary = path_ + ".pack";
  try {
    File file = File::Create(temporary, FileCreation::kReplace);
    file.WriteAt(0, image);
    file.Sync();
    file.Close();
    dbf_->Close();
    dbf_.reset();
    AtomicReplace(temporary, path_);
  } catch (const RuntimeError&) {
    // The original is untouched; take it back and report why packing failed.
    if (!dbf_) dbf_ = ReopenAfterPack();
    throw;
  }
  dbf_ = ReopenAfterPack();
  header_ = std::move(packed);
  header_.prefix = prefix;
  writtenPrefix_ = prefix;
  readAheadCount_ = 0;
  GoTop();
}

File Table::ReopenAfterPack() {
  for (int attempt = 1;; ++attempt) {
    try {
      return File::Open(path_, FileAccess::kReadWriteAlone);
    } catch (RuntimeError& error) {
      if (error.IsInUse() && attempt < kReopenAttempts) {
        std::this_thread::sleep_for(kReopenPause);
        continue;
      }
      // The table stays closed, memo file included. The error is not the in-use answer of a
      // first open: the table was this process's a moment ago.
      memo_.reset();
      error.cOperation = "pack";
      error.lCanDefault = false;
      throw;
    }
  }
}

}  // namespace memotab
