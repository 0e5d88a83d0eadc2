// Sequencer.cpp -- note text parsing and mixing of notes and drum patterns into a loop.
#include "Sequencer.h"

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace soundgen {

int noteNumber(const std::string& name) {
    static const int semitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return -1;
    int value = semitones[name[0] - 'A'];
    size_t position = 1;
    if (name[position] == '#') {
        ++value;
        ++position;
    } else if (name[position] == 'b') {
        --value;
        ++position;
    }
    if (position >= name.size()) return -1;
    char* end = nullptr;
    const long octave = std::strtol(name.c_str() + position, &end, 10);
    if (*end != '\0') return -1;
    return value + 12 * (static_cast<int>(octave) + 1);
}

std::vector<Note> parseNotes(const std::string& text, double startBeat, float velocity) {
    std::vector<Note> notes;
    std::istringstream tokens(text);
    std::string token;
    double beat = startBeat;
    double eighths = 2.0;
    while (tokens >> token) {
        if (token == "|") continue;
        const size_t colon = token.find(':');
        if (colon != std::string::npos) eighths = std::atof(token.c_str() + colon + 1);
        const std::string names = token.substr(0, colon);
        const double beats = eighths * 0.5;
        if (names != "r") {
            std::istringstream chord(names);
            std::string name;
            while (std::getline(chord, name, '+')) {
                const int number = noteNumber(name);
                if (number < 0) {
                    // A typo in a score stops the build rather than leaving a silent gap in the music.
                    std::cerr << "Bad note \"" << name << "\" in \"" << text << "\"" << std::endl;
                    std::exit(1);
                }
                notes.push_back({beat, beats, static_cast<float>(number), velocity});
            }
        }
        beat += beats;
    }
    return notes;
}

long Tempo::sampleAt(double beat) const { return std::lround(beat * secondsPerBeat() * kSampleRate); }

void addNotes(Samples& loop, const std::vector<Note>& notes, const Tempo& tempo, const Instrument& instrument,
              float gain, Rng& rng) {
    for (const Note& note : notes) {
        const Samples sound = instrument(midiToHz(note.pitch), note.beats * tempo.secondsPerBeat(), note.velocity, rng);
        addWrapped(loop, sound, tempo.sampleAt(note.beat), gain);
    }
}

void addDrums(Samples& loop, const std::string& pattern, double startBeat, const Tempo& tempo,
              const DrumVoice& voice, float gain, Rng& rng) {
    for (size_t step = 0; step < pattern.size(); ++step) {
        float velocity = 0.0f;
        switch (pattern[step]) {
            case 'X': velocity = 1.0f; break;
            case 'x': velocity = 0.72f; break;
            case '-': velocity = 0.38f; break;
            default: continue;
        }
        velocity *= rng.range(0.9f, 1.0f);
        const Samples hit = voice(velocity, rng);
        addWrapped(loop, hit, tempo.sampleAt(startBeat + step * 0.25), gain);
    }
}

}  // namespace soundgen
