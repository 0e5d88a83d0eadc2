// Voice.h -- a small formant voice: a harmonic glottal source shaped by vowel resonances, plus breath noise.
// Used for the god's laughs and regret, the choir of a finished grenade and the yelp of a struck person.
#pragma once

#include <cstdint>
#include <vector>

#include "Synth.h"

namespace soundgen {

// Three resonances (Hz) with their relative amplitudes; an adult male vocal tract.
struct Vowel {
    float frequency[3];
    float gain[3];
};

extern const Vowel kVowelA;   // "ah" as in father
extern const Vowel kVowelO;   // "oh" as in no
extern const Vowel kVowelOo;  // "oo"
extern const Vowel kVowelU;   // "uh" as in but
extern const Vowel kVowelE;   // "eh"
extern const Vowel kVowelI;   // "ee"
extern const Vowel kVowelM;   // closed-mouth hum of m and n

// One key point of an utterance; every value is interpolated linearly between neighbouring points.
struct VoicePoint {
    double time;   // seconds from the start, increasing
    float pitch;   // fundamental in Hz
    Vowel vowel;
    float voiced;  // loudness of the voiced sound, 0..1
    float breath;  // loudness of the breath noise (h, sighs), 0..1
};

struct VoiceStyle {
    float formantScale = 1.0f;  // < 1 a larger (deeper-sounding) throat, > 1 a smaller one
    float tilt = 1.0f;          // harmonic k has amplitude k^-tilt before the resonances; higher is darker
    float vibratoHz = 5.0f;
    float vibratoSemitones = 0.0f;
    float jitter = 0.01f;       // slow random pitch wander, fraction of the pitch
    float subOctave = 0.0f;     // level of a sine an octave below the voice (a booming chest)
    uint64_t seed = 1;
};

// Renders the utterance from time 0 to the last point's time. Peak level is roughly 1 for voiced = 1.
Samples speak(const std::vector<VoicePoint>& points, const VoiceStyle& style);

// Blends two vowels; t = 0 gives a, t = 1 gives b.
Vowel blendVowels(const Vowel& a, const Vowel& b, float t);

}  // namespace soundgen
