// Instruments.h -- the music's instruments and drums, each a function that renders one note or hit.
#pragma once

#include "Sequencer.h"
#include "Synth.h"

namespace soundgen {

// Pitched instruments (see Instrument): each returns the held note followed by its natural release.
Samples pluckedString(float hz, double seconds, float velocity, Rng& rng);  // harp / pizzicato
Samples warmPad(float hz, double seconds, float velocity, Rng& rng);        // soft detuned strings
Samples darkPad(float hz, double seconds, float velocity, Rng& rng);        // lower, slower, darker strings
Samples fluteLead(float hz, double seconds, float velocity, Rng& rng);      // airy sine lead with vibrato
Samples reedLead(float hz, double seconds, float velocity, Rng& rng);       // clarinet-like hollow lead
Samples roundBass(float hz, double seconds, float velocity, Rng& rng);      // plucked round bass
Samples bellTone(float hz, double seconds, float velocity, Rng& rng);       // struck bell, inharmonic partials
Samples glockenspiel(float hz, double seconds, float velocity, Rng& rng);   // small bright metal bars

// Drums (see DrumVoice).
Samples kickDrum(float velocity, Rng& rng);
Samples heartbeatKick(float velocity, Rng& rng);
Samples snareDrum(float velocity, Rng& rng);
Samples sideStick(float velocity, Rng& rng);
Samples closedHat(float velocity, Rng& rng);
Samples openHat(float velocity, Rng& rng);
Samples shaker(float velocity, Rng& rng);
Samples crashCymbal(float velocity, Rng& rng);
// A tuned drum (tom, timpani) of the given fundamental.
DrumVoice tunedDrum(float hz, double ringSeconds);

}  // namespace soundgen
