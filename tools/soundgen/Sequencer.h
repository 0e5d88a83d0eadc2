// Sequencer.h -- a tiny step sequencer for the music: notes written as text, instruments as functions,
// everything mixed into a loop buffer so that notes ringing past the end continue at the start.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Synth.h"

namespace soundgen {

struct Note {
    double beat;     // start, in beats from the start of the piece
    double beats;    // length in beats
    float pitch;     // MIDI note number
    float velocity;  // 0..1
};

// MIDI number of a note name such as "C4", "F#3" or "Bb5" (C4 = 60); -1 when it is not a note name.
int noteNumber(const std::string& name);

// Parses a melody line: space-separated tokens "<note>[+<note>...][:<eighths>]" or "r[:<eighths>]" (a rest);
// a missing length repeats the previous one; "|" marks bar lines and is skipped. Notes joined by '+' sound
// together (a chord). Notes start at startBeat and follow each other. A token that is not a note ends the
// program with a message naming it.
std::vector<Note> parseNotes(const std::string& text, double startBeat, float velocity);

// Renders one note: its pitch in Hz, its held length in seconds and velocity; the result includes the release.
using Instrument = std::function<Samples(float hz, double seconds, float velocity, Rng& rng)>;
// Renders one drum hit of the given velocity.
using DrumVoice = std::function<Samples(float velocity, Rng& rng)>;

struct Tempo {
    double beatsPerMinute;
    double secondsPerBeat() const { return 60.0 / beatsPerMinute; }
    long sampleAt(double beat) const;
};

// Mixes the notes into the loop (wrapping around its end) at gain.
void addNotes(Samples& loop, const std::vector<Note>& notes, const Tempo& tempo, const Instrument& instrument,
              float gain, Rng& rng);

// Mixes one drum part: each character is a sixteenth note from startBeat on: 'X' accent, 'x' normal,
// '-' ghost note, anything else silence. Hits get a little random velocity so repeats are not identical.
void addDrums(Samples& loop, const std::string& pattern, double startBeat, const Tempo& tempo,
              const DrumVoice& voice, float gain, Rng& rng);

}  // namespace soundgen
