// The readings of the sweep library, a function of the sample number: the count of
// GetMBTemperature calls so far, as sample_counter.h keeps it. Computed, not read from a file,
// so that thousands of samples take seconds.
#pragma once

// The CPU runs from -40 to 119, across every face's band, and the board from -20 to 79, over
// and over. From this sample on both run one degree higher: the maxima rise once more, late.
constexpr long sweepRiseAt = 12500;
constexpr int sweepTopCpu = 120, sweepTopMb = 80; // the maxima of a run past sweepRiseAt

inline int sweepLift(long sample) { return sample >= sweepRiseAt ? 1 : 0; }
inline int sweepCpu(long sample) { return -40 + static_cast<int>(sample % 160) + sweepLift(sample); }
inline int sweepMb(long sample) { return -20 + static_cast<int>(sample % 100) + sweepLift(sample); }
inline int sweepFan(long sample) { return static_cast<int>(sample * 37 % 6000); }
