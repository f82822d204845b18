#include "sounds.h"

#include "win.h"

#include <mmsystem.h>

#include <algorithm>
#include <utility>

namespace memotab {

namespace {

constexpr double kTicksPerSecond = 18.2;
constexpr double kTickMilliseconds = 1000.0 / kTicksPerSecond;

// Waits until `milliseconds` have passed since `start`, whatever the beep service did.
void WaitUntil(ULONGLONG start, double milliseconds) {
  const auto end = start + static_cast<ULONGLONG>(milliseconds);
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) Sleep(static_cast<DWORD>(end - now));
}

ToneOutput& Output() {
  static ToneOutput output;
  return output;
}

}  // namespace

ToneOutput SetToneOutputForTesting(ToneOutput output) { return std::exchange(Output(), std::move(output)); }

void TONE(double nFrequency, double nTicks) {
  const double ticks = std::clamp(nTicks, 0.0, 4294967295.0);
  if (ticks <= 0) return;
  const ULONGLONG start = GetTickCount64();
  const double frequency = std::clamp(nFrequency, 0.0, 32767.0);
  // Too low to hear: the tone is skipped, only the silent tick remains.
  const double milliseconds = frequency > 20 ? ticks * kTickMilliseconds : 0;
  const ToneOutput& output = Output();
  if (milliseconds > 0) {
    if (output) {
      output(frequency, milliseconds);
    } else {
      Beep(static_cast<DWORD>(frequency), static_cast<DWORD>(milliseconds));
    }
  }
  if (output) output(0, kTickMilliseconds);
  WaitUntil(start, milliseconds + kTickMilliseconds);
}

void GOODSOUND() {
  TONE(500, 1);
  TONE(4000, 1);
  TONE(2500, 1);
}

void BADSOUND() {
  TONE(300, 1);
  TONE(499, 3);
  TONE(700, 3);
}

bool SNDPLAYSOUND(const std::string& cFile, unsigned nFlags) { return sndPlaySoundA(cFile.c_str(), nFlags) != FALSE; }

}  // namespace memotab
