// Music.cpp -- the two pieces of music: a hopeful one in D major and an uneasy one in A minor.
// Both are written bar by bar (chord, bass root, melody) and rendered as seamless loops.
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "Instruments.h"
#include "Sequencer.h"
#include "Sounds.h"

namespace soundgen {

namespace {

struct Bar {
    const char* chord;   // pad voicing, notes joined by '+'
    const char* bass;    // root of the bass line
    const char* melody;  // eight eighths of melody (may be a rest)
};

// MIDI numbers of a chord written as "D4+F#4+A4", lowest first as written.
std::vector<int> chordNotes(const std::string& chord) {
    std::vector<int> notes;
    for (const Note& note : parseNotes(chord, 0.0, 1.0f)) notes.push_back(static_cast<int>(note.pitch));
    return notes;
}

// The note two scale steps below pitch (a third under a melody note) in the major scale of tonic.
int thirdBelow(int pitch, int tonic) {
    static const int major[7] = {0, 2, 4, 5, 7, 9, 11};
    int below = pitch - 1;
    int steps = 0;
    while (below > pitch - 12) {
        const int degree = ((below - tonic) % 12 + 12) % 12;
        if (std::find(std::begin(major), std::end(major), degree) != std::end(major) && ++steps == 2) return below;
        --below;
    }
    return pitch - 4;
}

std::string repeatBars(const std::string& pattern, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += pattern;
    return out;
}

void addNote(std::vector<Note>& notes, double beat, double beats, int pitch, float velocity) {
    notes.push_back({beat, beats, static_cast<float>(pitch), velocity});
}

// The full-length mix buffer for a piece of the given bars of four beats.
Samples emptyLoop(const Tempo& tempo, int bars) { return Samples(tempo.sampleAt(bars * 4.0), 0.0f); }

// Mixes the room bus (with a looped reverb) into the dry bus and levels the result.
Samples finishMix(Samples dry, Samples room, float roomSize, float wet) {
    addReverbLooped(room, roomSize, 0.45f, wet);
    for (size_t i = 0; i < dry.size(); ++i) dry[i] += room[i];
    normalizePeak(dry, 0.9f);
    return dry;
}

// Wind: noise through a band that sweeps up and down cyclesPerLoop times over the loop, so it loops too.
void addWind(Samples& loop, float gain, int cyclesPerLoop, Rng& rng) {
    Samples wind(loop.size());
    for (float& x : wind) x = rng.symmetric();
    Biquad band;
    size_t n = 0;
    processLooped(wind, [&](float x) {
        const double cycle = static_cast<double>(n) / wind.size() * cyclesPerLoop;
        if (n % 64 == 0) band.setBandpass(static_cast<float>(520.0 + 320.0 * sineCycles(cycle)), 3.0f);
        n = (n + 1) % wind.size();
        return band.process(x) * (0.6f + 0.4f * sineCycles(cycle * 2.0 + 0.25));
    });
    for (size_t i = 0; i < loop.size(); ++i) loop[i] += gain * wind[i];
}

// D major, 100 beats per minute: intro (2 bars), A (8), B (8), A' (6), then back to the intro.
const Bar kGoodBars[] = {
    {"D4+F#4+A4", "D2", "D5:6 r:2"},
    {"D4+G4+B4", "G1", "r:8"},
    // A
    {"D4+F#4+A4", "D2", "A4:2 D5:2 F#5:3 E5:1"},
    {"C#4+E4+A4", "A1", "E5:4 C#5:2 A4:2"},
    {"D4+F#4+B4", "B1", "B4:2 D5:2 F#5:2 A5:2"},
    {"D4+G4+B4", "G1", "G5:3 F#5:1 E5:4"},
    {"D4+F#4+A4", "D2", "A4:2 D5:2 F#5:3 A5:1"},
    {"C#4+E4+A4", "A1", "A5:3 G5:1 E5:2 C#5:2"},
    {"D4+G4+B4", "G1", "B4:2 D5:2 G5:3 F#5:1"},
    {"C#4+E4+A4", "A1", "E5:6 r:2"},
    // B
    {"D4+G4+B4", "G1", "B5:4 A5:2 G5:2"},
    {"D4+F#4+A4", "D2", "A5:4 F#5:2 D5:2"},
    {"E4+G4+B4", "E2", "G5:3 F#5:1 E5:2 B4:2"},
    {"C#4+E4+A4", "A1", "C#5:2 E5:2 A5:4"},
    {"D4+G4+B4", "G1", "B5:3 A5:1 G5:2 B5:2"},
    {"D4+F#4+A4", "F#1", "A5:4 F#5:2 A5:2"},
    {"E4+G4+B4", "E2", "G5:2 F#5:2 E5:2 G5:2"},
    {"C#4+E4+A4", "A1", "F#5:2 E5:2 C#5:4"},
    // A'
    {"D4+F#4+A4", "D2", "A4:2 D5:2 F#5:3 E5:1"},
    {"C#4+E4+A4", "A1", "E5:4 C#5:2 A4:2"},
    {"D4+F#4+B4", "B1", "B4:2 D5:2 F#5:2 B5:2"},
    {"D4+G4+B4", "G1", "A5:3 G5:1 F#5:2 E5:2"},
    {"D4+G4+B4", "E2", "D5:2 E5:2 G5:4"},
    {"C#4+E4+G4", "A1", "G5:2 E5:2 C#5:4"},
};

// A minor, 80 beats per minute: intro (2 bars), A (8), B (6), outro (4), then back to the intro.
const Bar kBadBars[] = {
    {"A3+C4+E4", "A1", "r:8"},
    {"A3+C4+E4", "A1", "r:8"},
    // A
    {"A3+C4+E4", "A1", "A4:2 C5:2 E5:3 D5:1"},
    {"A3+C4+F4", "F1", "C5:4 A4:4"},
    {"A3+D4+F4", "D2", "D5:2 F5:2 A5:3 G#5:1"},
    {"G#3+B3+E4", "E2", "G#5:2 F5:2 E5:4"},
    {"A3+C4+E4", "A1", "A4:2 C5:2 E5:2 A5:2"},
    {"A3+C4+F4", "F1", "A5:3 F5:1 E5:2 C5:2"},
    {"Bb3+D4+F4", "Bb1", "D5:3 F5:1 Bb4:4"},
    {"G#3+B3+E4", "E2", "G#4:2 B4:2 E5:4"},
    // B
    {"A3+D4+F4", "D2", "F5:4 E5:2 D5:2"},
    {"A3+C4+E4", "A1", "E5:4 C5:2 A4:2"},
    {"A3+D4+F4", "D2", "F5:2 A5:2 D6:4"},
    {"A3+C4+E4", "A1", "C6:3 B5:1 A5:4"},
    {"Bb3+D4+F4", "Bb1", "Bb5:3 A5:1 F5:2 D5:2"},
    {"G#3+B3+E4", "E2", "B5:2 G#5:2 E5:4"},
    // outro
    {"A3+C4+E4", "A1", "E5:4 A4:4"},
    {"A3+C4+F4", "F1", "A4:4 C5:2 B4:2"},
    {"G#3+B3+E4", "E2", "G#4:8"},
    {"G#3+B3+E4", "E2", "r:8"},
};

}  // namespace

Samples makeMusicGood() {
    const Tempo tempo{100.0};
    const int bars = static_cast<int>(sizeof(kGoodBars) / sizeof(kGoodBars[0]));
    Rng rng(0x600D);
    Samples dry = emptyLoop(tempo, bars);
    Samples room = dry;

    std::vector<Note> pad, harp, bass, melody, sparkle, harmony;
    for (int bar = 0; bar < bars; ++bar) {
        const Bar& b = kGoodBars[bar];
        const double beat = bar * 4.0;
        const bool intro = bar < 2;
        const bool chorus = bar >= 10 && bar < 18;
        const bool reprise = bar >= 18;
        const std::vector<int> chord = chordNotes(b.chord);
        for (int pitch : chord) addNote(pad, beat, 4.0, pitch, 0.55f);

        // Rolling harp arpeggio over the chord, below the melody.
        const int rolled[8] = {chord[0], chord[1], chord[2], chord[0] + 12, chord[1] + 12, chord[2], chord[1], chord[2]};
        for (int step = 0; step < 8; ++step)
            addNote(harp, beat + step * 0.5, 0.5, rolled[step], step % 4 == 0 ? 0.75f : 0.5f);

        const int root = noteNumber(b.bass);
        if (intro) {
            addNote(bass, beat, 3.8, root, 0.8f);
        } else {
            addNote(bass, beat, 1.4, root, 0.9f);
            addNote(bass, beat + 1.5, 0.45, root, 0.6f);
            addNote(bass, beat + 2.0, 0.9, root + 7, 0.75f);
            addNote(bass, beat + 3.0, 0.9, chorus ? root + 12 : root, 0.7f);
        }

        for (const Note& note : parseNotes(b.melody, beat, 0.8f)) {
            melody.push_back(note);
            if (chorus) sparkle.push_back({note.beat, note.beats, note.pitch + 12.0f, 0.5f});
            // When the tune returns a second flute follows it a third below.
            if (reprise) harmony.push_back({note.beat, note.beats, static_cast<float>(thirdBelow(static_cast<int>(note.pitch), 62)), 0.6f});
        }
    }

    addNotes(room, pad, tempo, warmPad, 0.18f, rng);
    addNotes(room, harp, tempo, pluckedString, 0.45f, rng);
    addNotes(dry, bass, tempo, roundBass, 0.55f, rng);
    addNotes(room, melody, tempo, fluteLead, 0.22f, rng);
    addNotes(room, sparkle, tempo, glockenspiel, 0.4f, rng);
    addNotes(room, harmony, tempo, fluteLead, 0.16f, rng);

    // Drums: shaker in the intro, light groove in A, full groove in B, a fill at the end.
    addDrums(room, repeatBars("..x...x...x...x.", 2), 0.0, tempo, shaker, 0.6f, rng);
    addDrums(dry, repeatBars("X.......x.x.....", 8), 8.0, tempo, kickDrum, 0.5f, rng);
    addDrums(room, repeatBars("....x.......x...", 8), 8.0, tempo, sideStick, 1.0f, rng);
    addDrums(room, repeatBars("x.-.x.-.x.-.x.-.", 8), 8.0, tempo, closedHat, 0.8f, rng);
    addDrums(dry, repeatBars("X.....x.X.....x.", 8), 40.0, tempo, kickDrum, 0.55f, rng);
    addDrums(room, repeatBars("....X.......X...", 8), 40.0, tempo, snareDrum, 0.6f, rng);
    addDrums(room, repeatBars("x-x-x-x-x-x-x.x-", 8), 40.0, tempo, closedHat, 0.8f, rng);
    addDrums(room, repeatBars("............x...", 8), 40.0, tempo, openHat, 0.5f, rng);
    addDrums(room, repeatBars("-.x.-.x.-.x.-.x.", 8), 40.0, tempo, shaker, 0.6f, rng);
    addDrums(room, "X", 40.0, tempo, crashCymbal, 0.5f, rng);
    addDrums(room, "x", 72.0, tempo, crashCymbal, 0.4f, rng);
    addDrums(dry, repeatBars("X.......x.x.....", 6), 72.0, tempo, kickDrum, 0.5f, rng);
    addDrums(room, repeatBars("....x.......x...", 5) + "....x...x-x-xxXX", 72.0, tempo, snareDrum, 0.5f, rng);
    addDrums(room, repeatBars("x.-.x.-.x.-.x.-.", 6), 72.0, tempo, closedHat, 0.8f, rng);

    return finishMix(dry, room, 0.72f, 0.45f);
}

Samples makeMusicBad() {
    const Tempo tempo{80.0};
    const int bars = static_cast<int>(sizeof(kBadBars) / sizeof(kBadBars[0]));
    Rng rng(0xBAD);
    Samples dry = emptyLoop(tempo, bars);
    Samples room = dry;

    std::vector<Note> pad, pizzicato, bass, melody, bells;
    for (int bar = 0; bar < bars; ++bar) {
        const Bar& b = kBadBars[bar];
        const double beat = bar * 4.0;
        const bool middle = bar >= 10 && bar < 16;
        for (int pitch : chordNotes(b.chord)) addNote(pad, beat, 4.0, pitch, 0.6f);

        // A restless pizzicato ostinato on the root, its octave and fifth.
        const int root = noteNumber(b.bass);
        const int steps[8] = {0, 0, 12, 0, 7, 0, 12, 7};
        for (int step = 0; step < 8; ++step)
            addNote(pizzicato, beat + step * 0.5, 0.4, root + 12 + steps[step], step == 0 ? 0.8f : 0.55f);
        addNote(bass, beat, 3.6, root, 0.7f);

        for (const Note& note : parseNotes(b.melody, beat, 0.75f)) melody.push_back(note);
        if (bar % 2 == 0 || middle) addNote(bells, beat, 2.0, root + 24, middle ? 0.55f : 0.4f);
    }

    addNotes(room, pad, tempo, darkPad, 0.2f, rng);
    addNotes(room, pizzicato, tempo, pluckedString, 0.35f, rng);
    addNotes(dry, bass, tempo, roundBass, 0.6f, rng);
    addNotes(room, melody, tempo, reedLead, 0.2f, rng);
    addNotes(room, bells, tempo, bellTone, 0.4f, rng);

    // A heartbeat throughout, a ticking clock from A on, timpani in the middle section.
    addDrums(dry, repeatBars("X..x............", bars), 0.0, tempo, heartbeatKick, 0.45f, rng);
    addDrums(room, repeatBars("-...-...-...-...", 14), 8.0, tempo, sideStick, 1.0f, rng);
    addDrums(room, repeatBars("..-...-...-...-.", 6), 40.0, tempo, shaker, 0.8f, rng);
    addDrums(room, repeatBars("........x.......", 5) + "........x.-.x-xX", 40.0, tempo, tunedDrum(55.0f, 0.6), 0.45f, rng);

    addWind(room, 0.3f, 5, rng);

    return finishMix(dry, room, 0.85f, 0.5f);
}

}  // namespace soundgen
