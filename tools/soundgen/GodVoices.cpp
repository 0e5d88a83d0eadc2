// GodVoices.cpp -- the god's voice (four laughs, the regretful "oh no") and the choir that hails a
// finished holy grenade, all from the formant voice.
#include <cmath>
#include <vector>

#include "Instruments.h"
#include "Sounds.h"
#include "Voice.h"

namespace soundgen {

namespace {

// One laughing or spoken syllable: an optional breathy onset ("h") followed by a voiced vowel.
struct Syllable {
    double start;
    double onset;   // length of the h or consonant before the vowel
    double length;  // length of the voiced vowel
    float pitchStart;
    float pitchEnd;
    Vowel vowel;
    float loudness;
    float onsetBreath = 0.7f;        // how breathy the h is (0 for a vowel start)
    const Vowel* onsetVowel = nullptr;  // a voiced consonant (m, n) instead of h
};

void appendSyllable(std::vector<VoicePoint>& points, const Syllable& s) {
    const double vowelStart = s.start + s.onset;
    const double end = vowelStart + s.length;
    const float loud = s.loudness;
    if (s.onsetVowel) {
        points.push_back({s.start, s.pitchStart, *s.onsetVowel, 0.0f, 0.0f});
        points.push_back({s.start + 0.03, s.pitchStart, *s.onsetVowel, 0.6f * loud, 0.0f});
        points.push_back({vowelStart, s.pitchStart, *s.onsetVowel, 0.6f * loud, 0.0f});
    } else {
        points.push_back({s.start, s.pitchStart, s.vowel, 0.0f, 0.0f});
        points.push_back({s.start + 0.012, s.pitchStart, s.vowel, 0.0f, s.onsetBreath * loud});
        points.push_back({vowelStart, s.pitchStart, s.vowel, 0.15f * loud, 0.5f * s.onsetBreath * loud});
    }
    points.push_back({vowelStart + 0.03, s.pitchStart, s.vowel, loud, 0.08f * loud});
    points.push_back({end - std::min(0.06, s.length * 0.3), s.pitchEnd, s.vowel, 0.8f * loud, 0.1f * loud});
    points.push_back({end, s.pitchEnd, s.vowel, 0.0f, 0.05f * loud});
    points.push_back({end + 0.03, s.pitchEnd, s.vowel, 0.0f, 0.0f});
}

// A god's voice: a big throat, a chest an octave down, a large hall around it.
Samples godVoice(const std::vector<VoicePoint>& points, float formantScale, float subOctave, uint64_t seed) {
    VoiceStyle style;
    style.formantScale = formantScale;
    style.tilt = 1.05f;
    style.jitter = 0.015f;
    style.vibratoHz = 4.5f;
    style.vibratoSemitones = 0.08f;
    style.subOctave = subOctave;
    style.seed = seed;
    Samples voice = speak(points, style);
    // A lowpass keeps the big voice warm rather than buzzy.
    Biquad warmth;
    warmth.setLowpass(4200.0f, 0.7f);
    for (float& x : voice) x = warmth.process(x);
    addReverb(voice, 0.88f, 0.45f, 0.55f, 1.2);
    fadeEdges(voice, 0.0, 0.4);
    normalizePeak(voice, 0.92f);
    return voice;
}

}  // namespace

Samples makeGodLaugh(int which) {
    std::vector<VoicePoint> points;
    switch (which) {
        case 1: {  // "Ho ho ho hooo": slow, round and deep
            const float pitches[4][2] = {{98, 90}, {95, 86}, {92, 82}, {90, 62}};
            for (int i = 0; i < 4; ++i)
                appendSyllable(points, {0.05 + i * 0.3, 0.07, i == 3 ? 0.6 : 0.17, pitches[i][0], pitches[i][1],
                                        kVowelO, i == 3 ? 0.9f : 1.0f});
            return godVoice(points, 0.84f, 0.12f, 11);
        }
        case 2: {  // "Ha ha ha ha ha haaa": quicker, bright, tumbling down
            for (int i = 0; i < 6; ++i) {
                const float top = 135.0f - i * 8.0f;
                appendSyllable(points, {0.05 + i * 0.19, 0.05, i == 5 ? 0.55 : 0.11, top, top - 10.0f - (i == 5 ? 30.0f : 0.0f),
                                        kVowelA, 1.0f - i * 0.04f});
            }
            return godVoice(points, 0.9f, 0.08f, 12);
        }
        case 3: {  // "Mwa-ha-ha-haaa": a villain's laugh that climbs, then falls away
            appendSyllable(points, {0.05, 0.14, 0.3, 82, 92, kVowelA, 0.95f, 0.0f, &kVowelM});
            const float pitches[3][2] = {{96, 92}, {104, 98}, {112, 106}};
            for (int i = 0; i < 3; ++i)
                appendSyllable(points, {0.6 + i * 0.21, 0.05, 0.12, pitches[i][0], pitches[i][1], kVowelA, 0.95f});
            appendSyllable(points, {1.25, 0.06, 0.75, 122, 72, kVowelA, 1.0f});
            return godVoice(points, 0.82f, 0.14f, 13);
        }
        default: {  // "Heh heh heh heh ... HA HA!": a low chuckle that bursts out
            for (int i = 0; i < 4; ++i)
                appendSyllable(points, {0.05 + i * 0.16, 0.04, 0.08, 80.0f - i, 76.0f - i, kVowelE, 0.6f});
            appendSyllable(points, {0.8, 0.07, 0.2, 118, 108, kVowelA, 1.0f});
            appendSyllable(points, {1.12, 0.07, 0.45, 112, 84, kVowelA, 1.0f});
            return godVoice(points, 0.88f, 0.12f, 14);
        }
    }
}

Samples makeGodRegret() {
    // "Oh ... no-o-o": a sorrowful sigh that sinks and fades into a breath.
    std::vector<VoicePoint> points;
    appendSyllable(points, {0.05, 0.0, 0.42, 128, 108, kVowelO, 0.95f, 0.0f});
    const double start = 0.62;
    points.push_back({start, 118, kVowelM, 0.0f, 0.0f});
    points.push_back({start + 0.03, 118, kVowelM, 0.55f, 0.0f});
    points.push_back({start + 0.1, 120, kVowelM, 0.55f, 0.0f});
    points.push_back({start + 0.16, 122, kVowelO, 1.0f, 0.05f});
    points.push_back({start + 0.5, 108, kVowelO, 0.9f, 0.1f});
    points.push_back({start + 0.95, 86, blendVowels(kVowelO, kVowelOo, 0.5f), 0.6f, 0.2f});
    points.push_back({start + 1.3, 72, kVowelOo, 0.2f, 0.25f});
    points.push_back({start + 1.45, 70, kVowelOo, 0.0f, 0.12f});
    points.push_back({start + 1.7, 70, kVowelOo, 0.0f, 0.0f});
    VoiceStyle style;
    style.formantScale = 0.86f;
    style.tilt = 1.1f;
    style.jitter = 0.02f;
    style.vibratoHz = 5.5f;
    style.vibratoSemitones = 0.22f;
    style.subOctave = 0.1f;
    style.seed = 10;
    Samples voice = speak(points, style);
    addReverb(voice, 0.88f, 0.5f, 0.5f, 1.2);
    fadeEdges(voice, 0.0, 0.4);
    normalizePeak(voice, 0.9f);
    return voice;
}

Samples makeGrenadeFinished() {
    // A choir swells on a D major chord ("aaah"), with glittering bells running up over it.
    const int chord[6] = {50, 57, 62, 66, 69, 74};  // D3 A3 D4 F#4 A4 D5
    const double length = 2.6;
    Samples out(secondsToSamples(length), 0.0f);
    Rng rng(0x60D5);
    for (int note = 0; note < 6; ++note) {
        for (int singer = 0; singer < 3; ++singer) {
            const float pitch = midiToHz(chord[note] + (singer - 1) * 0.08f);
            const Vowel vowel = blendVowels(kVowelA, kVowelO, 0.15f * singer);
            const std::vector<VoicePoint> points = {
                {0.0, pitch, vowel, 0.0f, 0.02f},
                {0.35, pitch, vowel, 1.0f, 0.03f},
                {1.8, pitch, vowel, 0.9f, 0.03f},
                {length, pitch, blendVowels(vowel, kVowelO, 0.5f), 0.0f, 0.0f},
            };
            VoiceStyle style;
            style.formantScale = chord[note] >= 62 ? 1.18f : 1.0f;
            style.tilt = 1.15f;
            style.jitter = 0.006f;
            style.vibratoHz = rng.range(4.8f, 5.8f);
            style.vibratoSemitones = rng.range(0.08f, 0.16f);
            style.seed = 100 + note * 3 + singer;
            const Samples voice = speak(points, style);
            addGrowing(out, voice, secondsToSamples(rng.range(0.0f, 0.04f)), chord[note] < 60 ? 0.22f : 0.16f);
        }
    }
    const int sparkle[5] = {86, 90, 93, 98, 102};
    for (int i = 0; i < 5; ++i) {
        const Samples bell = glockenspiel(midiToHz(static_cast<float>(sparkle[i])), 0.3, 0.6f, rng);
        addGrowing(out, bell, secondsToSamples(0.1 + i * 0.09), 0.25f);
    }
    addReverb(out, 0.9f, 0.4f, 0.6f, 1.3);
    fadeEdges(out, 0.01, 0.5);
    normalizePeak(out, 0.9f);
    return out;
}

}  // namespace soundgen
