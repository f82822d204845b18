#pragma once

#include <functional>
#include <string>

namespace memotab {

// One tone: a frequency in hertz (0 to 32767) for a duration in clock ticks of 1/18.2
// second, then one silent tick. A duration of 0 or less plays nothing and takes no time;
// at 20 Hz or below the tone and its duration are skipped and only the silent tick
// passes. Returns when the silent tick is over.
void TONE(double nFrequency, double nTicks = 1);
// Where the tones go: the system's beep, or for a test that listens to which tones a
// routine plays, a routine told each tone (frequency in hertz, length in milliseconds) and
// each silent tick after one (frequency 0); TONE takes its time either way. Returns the one
// replaced; empty is the system's beep.
using ToneOutput = std::function<void(double frequency, double milliseconds)>;
ToneOutput SetToneOutputForTesting(ToneOutput output);
// The notice tones (500, 4000, 2500 Hz, one tick each) and the error tones (300 Hz for
// one tick, 499 and 700 Hz for three).
void GOODSOUND();
void BADSOUND();
// Starts playing a wave file; with flags 1 it plays while the program goes on. False
// when it could not be started.
bool SNDPLAYSOUND(const std::string& cFile, unsigned nFlags = 1);

}  // namespace memotab
