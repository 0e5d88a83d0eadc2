// SoundMixTest.cpp -- the loudness of the sixteen built sounds as the game mixes them (EBU R128): each effect at the
// level of its role, the climax loudest, the player's lightning clearly heard, loops under the one-shots and the
// music under the effects; and the crafting and rolling loops running on across their loop point without a gap.
// Prints the loudness table.
#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "sound/SoundCatalogue.h"
#include "sound/SoundRules.h"
#include "support/DecodedSounds.h"
#include "support/Loudness.h"
#include "support/RecordingSound.h"

using omxtest::builtSound;

namespace {

// A sine of `seconds` at `hz` whose loudness reads `lufs` on a meter after BS.1770 (a 1 kHz sine at full scale reads
// -3.01 LUFS), appended to `signal`.
void appendTone(std::vector<float>& signal, int rate, double seconds, double lufs, double hz = 1000.0) {
    const double amplitude = std::pow(10.0, (lufs + 3.0103) / 20.0);
    const size_t count = static_cast<size_t>(std::lround(seconds * rate));
    const size_t start = signal.size();
    for (size_t i = 0; i < count; ++i)
        signal.push_back(static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * double(start + i) / rate)));
}

// BS.1770's own table of the K-weighting coefficients at 48 kHz.
TEST(LoudnessMeter, KWeightingAt48kHzHasTheCoefficientsOfTheStandard) {
    const omxtest::BiquadCoefficients shelf = omxtest::kWeightingShelf(48000.0);
    const omxtest::BiquadCoefficients highPass = omxtest::kWeightingHighPass(48000.0);
    const double got[] = {shelf.b0, shelf.b1, shelf.b2, shelf.a1, shelf.a2,
                          highPass.b0, highPass.b1, highPass.b2, highPass.a1, highPass.a2};
    const double standard[] = {1.53512485958697, -2.69169618940638, 1.19839281085285, -1.69065929318241,
                               0.73248077421585, 1.0, -2.0, 1.0, -1.99004745483398, 0.99007225036621};
    for (size_t i = 0; i < std::size(got); ++i) EXPECT_NEAR(got[i], standard[i], 1e-8) << "coefficient " << i;
}

// A tone of known loudness reads that loudness, momentary and integrated, at both rates the game meets.
TEST(LoudnessMeter, AOneKilohertzToneReadsItsLoudnessAtEitherRate) {
    for (const int rate : {44100, 48000}) {
        std::vector<float> tone;
        appendTone(tone, rate, 5.0, -23.0);
        EXPECT_NEAR(omxtest::momentaryMaxLoudness(tone, rate, false), -23.0, 0.05) << rate;
        EXPECT_NEAR(omxtest::integratedLoudness(tone, rate, false), -23.0, 0.05) << rate;
        EXPECT_NEAR(omxtest::integratedLoudness(tone, rate, true), -23.0, 0.05) << rate;
    }
}

// The gating of integrated loudness, on EBU Tech 3341's tone sequences (cases 3 to 5) and a quiet tail that only the
// relative gate leaves out.
TEST(LoudnessMeter, IntegratedLoudnessGatesLikeTheEbuTestSequences) {
    const struct {
        std::vector<std::pair<double, double>> tones;  // seconds, LUFS
        double expected;
    } cases[] = {{{{10.0, -36.0}, {60.0, -23.0}, {10.0, -36.0}}, -23.0},
                 {{{10.0, -72.0}, {10.0, -36.0}, {60.0, -23.0}, {10.0, -36.0}, {10.0, -72.0}}, -23.0},
                 {{{20.0, -26.0}, {20.1, -20.0}, {20.0, -26.0}}, -23.0},
                 {{{10.0, -23.0}, {10.0, -60.0}}, -23.0}};
    for (const auto& c : cases) {
        std::vector<float> signal;
        for (const auto& [seconds, lufs] : c.tones) appendTone(signal, 48000, seconds, lufs);
        EXPECT_NEAR(omxtest::integratedLoudness(signal, 48000, false), c.expected, 0.1) << c.tones.size() << " tones";
    }
}

// A bass tone reads far softer than a tone in the middle of hearing at the same level, a high tone 3 to 4 LU louder.
TEST(LoudnessMeter, KWeightingHearsBassSofterAndTrebleLouder) {
    std::vector<float> bass, middle, treble;
    appendTone(bass, 44100, 2.0, -20.0, 30.0);
    appendTone(middle, 44100, 2.0, -20.0, 1000.0);
    appendTone(treble, 44100, 2.0, -20.0, 6000.0);
    const double m = omxtest::integratedLoudness(middle, 44100, false);
    EXPECT_LT(omxtest::integratedLoudness(bass, 44100, false), m - 4.0);
    EXPECT_NEAR(omxtest::integratedLoudness(treble, 44100, false), m + 3.5, 0.5);
}

// How each sound is measured and where it sits in the mix, as the game plays it.
enum class Role { Climax, PlayerAction, Cue, Voice, Loop, Music };

const char* roleName(Role role) {
    switch (role) {
        case Role::Climax: return "climax";
        case Role::PlayerAction: return "player";
        case Role::Cue: return "cue";
        case Role::Voice: return "voice";
        case Role::Loop: return "loop";
        case Role::Music: return "music";
    }
    return "";
}

bool isOneShot(Role role) { return role != Role::Loop && role != Role::Music; }

// Loudness targets as heard (LUFS, after the game's channel volume): one-shots by their momentary maximum, loops
// and music by their integrated loudness.
const struct {
    Role role;
    double heardTarget;
} mix[soundTypeCount] = {
    {Role::Music, -26.0},         // MusicGood
    {Role::Music, -26.0},         // MusicBad
    {Role::Cue, -20.0},           // SoundApple: a good person turns bad, somewhere near
    {Role::Loop, -22.0},          // SoundHolyGrenadeRolling, beside the rolling grenade
    {Role::Loop, -23.0},          // SoundHolyGrenadeCrafting, beside the grenade
    {Role::Climax, -16.0},        // SoundHolyGrenadeFinished
    {Role::Climax, -15.0},        // SoundHolyGrenadeExplosion
    {Role::Loop, -23.0},          // SoundLightningPick
    {Role::PlayerAction, -17.5},  // SoundLightningShoot
    {Role::Cue, -18.5},           // SoundPeopleShot
    {Role::Voice, -18.0},         // SoundGodRegret
    {Role::Voice, -18.0},         // SoundGodLaugh1
    {Role::Voice, -18.0},         // SoundGodLaugh2
    {Role::Voice, -18.0},         // SoundGodLaugh3
    {Role::Voice, -18.0},         // SoundGodLaugh4
    {Role::Cue, -18.5},           // SoundWarning
};

// The music plays at half volume while no grenade work is heard close by (and steps further back when it is).
constexpr float musicVolumeAtRest = 0.5f;

// The gain (dB) the game's mixer gives a sound at its loudest: the manager's own volume for the effects (the
// lightning and the warning are turned down), the resting music volume, full volume for the loops and the apple
// (their volumes grow as the camera comes close).
double gameGainDb(int type) {
    const omxtest::RecordingSound fresh;
    const float volume = type == MusicGood || type == MusicBad ? musicVolumeAtRest : fresh.volumes[type];
    return 20.0 * std::log10(static_cast<double>(mixerVolume(volume, false)) / MIX_MAX_VOLUME);
}

struct Measured {
    double file = 0.0;   // LUFS of the decoded file
    double heard = 0.0;  // after the game's gain
};

// Every sound measured by its role, and the table printed once.
const std::vector<Measured>& measuredMix() {
    static const std::vector<Measured> measured = [] {
        std::vector<Measured> all(soundTypeCount);
        std::printf("%-30s %-7s %-10s %9s %7s %9s %8s %6s\n", "sound", "role", "measure", "file", "gain", "heard",
                    "target", "off");
        for (int type = 0; type < soundTypeCount; ++type) {
            const omxtest::DecodedSound& sound = builtSound(type);
            const Role role = mix[type].role;
            Measured& m = all[static_cast<size_t>(type)];
            m.file = isOneShot(role) ? omxtest::momentaryMaxLoudness(sound.samples, sound.sampleRate, false)
                                     : omxtest::integratedLoudness(sound.samples, sound.sampleRate, true);
            m.heard = m.file + gameGainDb(type);
            std::printf("%-30s %-7s %-10s %9.1f %7.1f %9.1f %8.1f %+6.1f\n", soundFiles[type].name, roleName(role),
                        isOneShot(role) ? "M max" : "integrated", m.file, gameGainDb(type), m.heard,
                        mix[type].heardTarget, m.heard - mix[type].heardTarget);
        }
        std::printf("(LUFS; gain: the game's channel volume in dB; heard = file + gain)\n");
        return all;
    }();
    return measured;
}

TEST(SoundMix, EverySoundIsWithinTwoLoudnessUnitsOfTheTargetOfItsRole) {
    const std::vector<Measured>& measured = measuredMix();
    for (int type = 0; type < soundTypeCount; ++type)
        EXPECT_NEAR(measured[type].heard, mix[type].heardTarget, 2.0) << soundFiles[type].name;
}

std::vector<int> oneShots() {
    std::vector<int> types;
    for (int type = 0; type < soundTypeCount; ++type)
        if (isOneShot(mix[type].role)) types.push_back(type);
    return types;
}

TEST(SoundMix, TheExplosionIsTheLoudestOneShotAndTheFinishedGrenadeTheNext) {
    const std::vector<Measured>& measured = measuredMix();
    for (const int type : oneShots()) {
        if (type != SoundHolyGrenadeExplosion) {
            EXPECT_LT(measured[type].heard, measured[SoundHolyGrenadeExplosion].heard) << soundFiles[type].name;
        }
        if (type != SoundHolyGrenadeExplosion && type != SoundHolyGrenadeFinished) {
            EXPECT_LT(measured[type].heard, measured[SoundHolyGrenadeFinished].heard) << soundFiles[type].name;
        }
    }
}

// The player's own strike is clearly heard: within 4 LU of the climax and above the person-shot it comes with.
TEST(SoundMix, ThePlayersLightningIsClearlyHeard) {
    const std::vector<Measured>& measured = measuredMix();
    EXPECT_GT(measured[SoundLightningShoot].heard, measured[SoundHolyGrenadeExplosion].heard - 4.0);
    EXPECT_GT(measured[SoundLightningShoot].heard, measured[SoundPeopleShot].heard);
}

TEST(SoundMix, EveryOneShotIsWithinASixUnitBand) {
    const std::vector<Measured>& measured = measuredMix();
    double loudest = -1e9, softest = 1e9;
    for (const int type : oneShots()) {
        loudest = std::max(loudest, measured[type].heard);
        softest = std::min(softest, measured[type].heard);
    }
    EXPECT_LE(loudest - softest, 6.0) << "from " << softest << " to " << loudest << " LUFS";
}

// The loops lie under every one-shot, and the music under every effect, loops included.
TEST(SoundMix, LoopsSitUnderTheOneShotsAndTheMusicUnderTheEffects) {
    const std::vector<Measured>& measured = measuredMix();
    double softestOneShot = 1e9, softestLoop = 1e9;
    for (int type = 0; type < soundTypeCount; ++type) {
        if (isOneShot(mix[type].role)) softestOneShot = std::min(softestOneShot, measured[type].heard);
        if (mix[type].role == Role::Loop) softestLoop = std::min(softestLoop, measured[type].heard);
    }
    for (int type = 0; type < soundTypeCount; ++type) {
        if (mix[type].role == Role::Loop) {
            EXPECT_LT(measured[type].heard, softestOneShot) << soundFiles[type].name;
        }
        if (mix[type].role == Role::Music) {
            EXPECT_LT(measured[type].heard, softestLoop) << soundFiles[type].name;
        }
    }
}

// The effect loops as the game plays them, round and round, at their loop point: the 400 ms windows that reach it
// (ending at it, running across it or starting at it) are no quieter than the quietest window of the loop's body,
// and no 100 ms within half a second of it falls near silent (more than 20 LU under the loop's integrated
// loudness), so the loop neither fades nor pauses before it starts again.
TEST(SoundMix, EffectLoopsDoNotDropInLevelAtTheirLoopPoint) {
    for (const int type : {SoundHolyGrenadeCrafting, SoundHolyGrenadeRolling, SoundLightningPick}) {
        SCOPED_TRACE(soundFiles[type].name);
        const omxtest::DecodedSound& sound = builtSound(type);
        const long n = static_cast<long>(sound.samples.size());
        const long window = sound.sampleRate * 4 / 10;
        ASSERT_GT(n, 2 * window);
        // Window k starts at sample k; it reaches the loop point when it starts at 0 or ends at or after n.
        const std::vector<double> levels = omxtest::momentaryLoudness(sound.samples, sound.sampleRate, true, 1);
        double acrossLoopPoint = 1e9, body = 1e9;
        for (long start = 0; start < n; ++start) {
            const bool reaches = start == 0 || start + window >= n;
            (reaches ? acrossLoopPoint : body) = std::min(reaches ? acrossLoopPoint : body, levels[start]);
        }
        EXPECT_GE(acrossLoopPoint, body) << "the quietest 400 ms at the loop point against the quietest of the body";

        const std::vector<double> squares = omxtest::kWeightedSquares(sound.samples, sound.sampleRate, true);
        const long shortWindow = sound.sampleRate / 10, reach = sound.sampleRate / 2;
        double quietest = 1e9;
        for (long start = -reach; start + shortWindow <= reach; start += shortWindow / 10) {
            double sum = 0.0;
            for (long i = start; i < start + shortWindow; ++i) sum += squares[static_cast<size_t>(((i % n) + n) % n)];
            quietest = std::min(quietest, omxtest::loudnessOf(sum / shortWindow));
        }
        EXPECT_GT(quietest, omxtest::integratedLoudness(sound.samples, sound.sampleRate, true) - 20.0)
            << "the quietest 100 ms within half a second of the loop point, LUFS";
    }
}

// Two masons at 100 per minute over two bars: the loop lasts exactly its eight beats (no encoder delay or padding
// left in to shift the beat at the loop point), and every beat carries a hammer blow: the loudest 10 ms near each
// beat is within 6 LU of the strongest beat's.
TEST(SoundMix, TheCraftingLoopHasAHammerBlowOnEveryBeat) {
    const omxtest::DecodedSound& sound = builtSound(SoundHolyGrenadeCrafting);
    constexpr int beats = 8;
    constexpr double beatSeconds = 0.6;
    ASSERT_EQ(sound.samples.size(), static_cast<size_t>(std::lround(beats * beatSeconds * sound.sampleRate)));
    const long n = static_cast<long>(sound.samples.size());
    const std::vector<double> squares = omxtest::kWeightedSquares(sound.samples, sound.sampleRate, true);
    const long frame = sound.sampleRate / 100;
    const auto frameLevel = [&](long start) {  // cyclic, as the loop plays
        double sum = 0.0;
        for (long i = start; i < start + frame; ++i) sum += squares[static_cast<size_t>(((i % n) + n) % n)];
        return omxtest::loudnessOf(sum / frame);
    };
    std::vector<double> blows;
    for (int beat = 0; beat < beats; ++beat) {
        const long at = std::lround(beat * beatSeconds * sound.sampleRate);
        double loudest = -1e9;
        for (long start = at - 3 * frame; start <= at + 5 * frame; start += frame / 4)
            loudest = std::max(loudest, frameLevel(start));
        blows.push_back(loudest);
    }
    const double strongest = *std::max_element(blows.begin(), blows.end());
    for (int beat = 0; beat < beats; ++beat)
        EXPECT_GT(blows[beat], strongest - 6.0) << "beat " << beat << " at " << beat * beatSeconds << " s";
}

}  // namespace
