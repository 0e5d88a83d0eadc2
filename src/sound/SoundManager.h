// SoundManager.h -- music and effects, one channel per sound type, on SDL2_mixer.
#pragma once

#include <array>
#include <map>
#include <string>

#include "sound/SoundCatalogue.h"

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

// Starts opening the audio device on a thread of its own, so that the device search (a tenth of a second
// on a machine where ALSA reads its configuration and finds no card) overlaps other start-up work, such as
// making the window. The next SoundManager takes up its result; without a search started it opens the
// device itself.
void startAudioDeviceSearch();

class SoundManager {
public:
    // Opens the audio device (the silent driver when there is none) and loads all sixteen files from
    // soundFolder (its path ends with a slash): the effects are decoded into memory, the two pieces of music
    // are opened to be decoded as they play. Every file must be MP3 audio (checked before the mixer reads
    // it). Any failure prints one line naming the step and ends the process with status -1. Effect type N plays on mixer channel N, the music on the mixer's music stream.
    // Only one opened manager may exist at a time.
    explicit SoundManager(const std::string& soundFolder);
    // Halts every channel, frees the sounds and closes the device, so a later manager can open it.
    virtual ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Starts the type from its beginning on its own channel (restarting it if it plays); the two pieces of
    // music share one stream, so either stops the other. An unknown type prints "Sound type N: not found"
    // to standard error.
    virtual void play(int type);
    // Holds the type's channel; the next play restarts it. pause, setVolume and isPlaying ignore
    // types outside 0..15 (isPlaying answers false).
    virtual void pause(int type);
    // Clamped to [0, 1] (NaN becomes 1); kept for later plays.
    virtual void setVolume(int type, float volume);
    // True while the type's channel plays (a paused channel counts as playing); for music, while the
    // stream holds that piece.
    virtual bool isPlaying(int type);
    // Mutes or restores everything, channels started later included.
    virtual void toggleMute();
    // Holds every sound that is audible now, each where it is; resumeAll lets exactly those go on (what the
    // game had paused stays paused). Playing a type in between starts it as usual.
    virtual void pauseAll();
    virtual void resumeAll();

    bool muted = false;
    std::array<float, soundTypeCount> volumes{};

    // File name of each sound type ("" outside 0..15), and whether it loops.
    static const char* fileName(int type);
    static bool loops(int type);

protected:
    struct NoDevice {};
    // A manager that opens no device and loads nothing (for silent or recording subclasses).
    explicit SoundManager(NoDevice);
    void resetVolumes();

private:
    void initSystem();
    void loadSounds();
    void loadSound(const char* fileName, int type, bool loop);
    void loadMusic(const char* fileName, int type);
    // Gives the music stream the volume of the piece it holds.
    void applyMusicVolume() const;
    // Gives every channel its volume: the stored one, or 0 while muted.
    void applyVolumes() const;

    std::string folder;
    bool deviceOpen = false;
    std::map<int, Mix_Chunk*> sounds;  // owned; freed when the manager goes
    std::array<Mix_Music*, 2> music{};  // MusicGood and MusicBad, owned
    int currentMusic = -1;             // the piece the music stream holds
    bool musicHeldByPauseAll = false;
    std::array<bool, soundTypeCount> looping{};
    std::array<bool, soundTypeCount> heldByPauseAll{};
};
