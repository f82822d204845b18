// Speed of a character: reading and decoding a whole character file, and composing one
// frame (the cost the window pays for each frame it shows).
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "character_file.h"
#include "figure.h"

namespace {

using namespace memotab::character;

std::vector<uint8_t> FileBytes(const std::string& name) {
  std::ifstream in(std::string(MEMOTAB_CHARACTERS_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void BM_ReadCharacterFile(benchmark::State& state) {
  const std::vector<uint8_t> bytes = FileBytes("Reloj.mtpj");
  for (auto _ : state) benchmark::DoNotOptimize(ReadCharacterFile(bytes));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadCharacterFile)->Unit(benchmark::kMillisecond);

// The frame with the most layers: the dearest one to draw.
void BM_ComposeFrame(benchmark::State& state) {
  const CharacterFile character = ReadCharacterFile(FileBytes("Reloj.mtpj"));
  const Frame* busiest = &character.frames.front();
  for (const Frame& frame : character.frames) {
    if (frame.layers.size() > busiest->layers.size()) busiest = &frame;
  }
  Picture canvas;
  for (auto _ : state) {
    ComposeFrame(character, *busiest, canvas);
    benchmark::DoNotOptimize(canvas.pixels.data());
  }
  state.counters["layers"] = static_cast<double>(busiest->layers.size());
}
BENCHMARK(BM_ComposeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
