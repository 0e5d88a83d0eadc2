// Loudness.h -- the generator's loudness meter (K-weighted, after EBU R128) and a peak limiter, which together set
// every sound to the level of its role in the game's mix.
#pragma once

#include "Synth.h"

namespace soundgen {

// The loudest 400 ms of a one-shot (LUFS), heard with silence before and after it.
double momentaryMaxLufs(const Samples& sound);

// The gated integrated loudness (LUFS) of a loop, measured as it plays round and round.
double integratedLufs(const Samples& loop);

// Holds every sample within +-ceiling: the gain dips ahead of each peak (2 ms look-ahead) and comes back over
// about 60 ms. A loop is limited as it plays round, so its start hears its end.
void limitPeaks(Samples& sound, float ceiling, bool looped);

// Scales the sound to the given loudness (momentary maximum for a one-shot, integrated for a loop), limiting its
// peaks to `ceiling` and rescaling until the loudness holds.
void setLoudness(Samples& sound, double lufs, bool looped, float ceiling);

}  // namespace soundgen
