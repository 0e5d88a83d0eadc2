// SoundManager.cpp -- music and effects on SDL2_mixer: set-up with a silent fallback, loading, channels.
#include "sound/SoundManager.h"

#include <cstdlib>
#include <future>
#include <iostream>
#include <mutex>

#include <dlfcn.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include "sound/SoundFileCheck.h"
#include "sound/SoundRules.h"

namespace {

constexpr int loadOrder[soundTypeCount] = {0, 1, 2, 3, 4, 7, 8, 9, 5, 6, 10, 11, 12, 13, 14, 15};

bool validType(int type) { return type >= 0 && type < soundTypeCount; }

bool isMusic(int type) { return type == MusicGood || type == MusicBad; }

// Prints the one error line of a failed step, with SDL's reason, and ends the process with status -1.
[[noreturn]] void failSound(const std::string& step) {
    std::cout << "Sound error! (" << step << ") " << SDL_GetError() << std::endl;
    std::exit(-1);
}

// Opens a sound file for the mixer. A file that is not MP3 audio is refused before the mixer sees it, with
// the error line of the load step it would have failed or passed in the wrong decoder.
SDL_RWops* openMp3File(const std::string& path, const std::string& loadStep) {
    SDL_RWops* const file = SDL_RWFromFile(path.c_str(), "rb");
    if (!file) failSound("SDL_RWFromFile " + path);
    std::string reason;
    if (!checkMp3File(file, reason)) {
        SDL_RWclose(file);
        SDL_SetError("%s", reason.c_str());
        failSound(loadStep + " " + path);
    }
    return file;
}

// Starts SDL's audio and opens the mixer in the format the default device calls for.
// Returns false (with SDL's error set) when either step fails.
bool openDevice(std::string& failedStep) {
    // SDL's audio brings up its event queue, which would otherwise catch SIGINT and SIGTERM and turn them into
    // a quit event nobody reads: Ctrl+C in the terminal and a plain kill must still end the game.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        failedStep = "SDL_InitSubSystem";
        return false;
    }
    const AudioFormat format = chooseAudioFormat(SDL_GetAudioDeviceName(0, 0));
    // The mixer keeps the channel count asked for (SDL spreads mono over the device's speakers), so the
    // sounds are decoded once, to mono, and take half the memory of stereo.
    if (Mix_OpenAudioDevice(format.frequency, format.format, format.channels, format.chunkSize, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE) != 0) {
        failedStep = "Mix_OpenAudio";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

// ALSA reports every step of a failed device search on standard error (eight lines when there is no sound
// card), and the player gets one line of ours instead: its report function is replaced by one that says
// nothing. SDL loads the same copy of the library. Nothing else on standard error is touched, so the
// search can run while other start-up work reports its own problems.
void ignoreAlsaReport(const char*, int, const char*, int, const char*, ...) {}

void quietenAlsa() {
    static std::once_flag once;
    std::call_once(once, [] {
        void* const alsa = ::dlopen("libasound.so.2", RTLD_NOW);
        if (!alsa) return;  // SDL will not reach ALSA either
        using ReportFunction = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetHandler = int (*)(ReportFunction);
        const auto setHandler = reinterpret_cast<SetHandler>(::dlsym(alsa, "snd_lib_error_set_handler"));
        if (setHandler) setHandler(ignoreAlsaReport);
        // The library stays loaded: the function set lives on in it.
    });
}

// The outcome of a device search: whether the device opened, and if not SDL's reason (SDL keeps its
// error per thread, so it is taken where the search ran).
struct SearchResult {
    bool opened = false;
    std::string reason;
};

SearchResult searchDevice() {
    quietenAlsa();
    SearchResult result;
    std::string failedStep;
    result.opened = openDevice(failedStep);
    if (!result.opened) result.reason = SDL_GetError();
    return result;
}

std::future<SearchResult> pendingSearch;

}  // namespace

void startAudioDeviceSearch() {
    if (pendingSearch.valid()) return;
    pendingSearch = std::async(std::launch::async, searchDevice);
}

SoundManager::SoundManager(const std::string& soundFolder) : folder(soundFolder) {
    resetVolumes();
    initSystem();
    loadSounds();
    muted = false;
}

SoundManager::SoundManager(NoDevice) { resetVolumes(); }

SoundManager::~SoundManager() {
    if (!deviceOpen) return;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    for (auto& entry : sounds) Mix_FreeChunk(entry.second);
    sounds.clear();
    for (Mix_Music*& piece : music) {
        if (piece) Mix_FreeMusic(piece);
        piece = nullptr;
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SoundManager::resetVolumes() {
    volumes.fill(1.0f);
    volumes[SoundLightningPick] = 0.8f;
    volumes[SoundLightningShoot] = 0.3f;
    volumes[SoundWarning] = 0.5f;
}

// A machine without a usable audio device runs on SDL's silent driver, which mixes in real time,
// so every later call behaves as with sound.
void SoundManager::initSystem() {
    const SDL_version* linked = Mix_Linked_Version();
    if (!mixerVersionSupported(linked->major, linked->minor, linked->patch)) {
        std::cout << oldMixerVersionLine(linked->major, linked->minor, linked->patch) << std::endl;
        std::exit(-1);
    }

    // A search started earlier is taken up; it ran exactly as this one would.
    const SearchResult search = pendingSearch.valid() ? pendingSearch.get() : searchDevice();
    if (!search.opened) {
        std::cerr << "No sound device (" << search.reason << "): the game runs silent." << std::endl;
        std::string failedStep;
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        if (!openDevice(failedStep)) failSound(failedStep);
    }
    deviceOpen = true;

    Mix_Init(MIX_INIT_MP3);  // a missing decoder shows as a failed load of the first file
    if (Mix_AllocateChannels(soundTypeCount) < soundTypeCount) failSound("Mix_AllocateChannels");
    // Channels 0..15 belong to the sound types; nothing may pick them as free channels.
    Mix_ReserveChannels(soundTypeCount);
}

void SoundManager::loadSounds() {
    for (const int type : loadOrder) {
        if (isMusic(type))
            loadMusic(soundFiles[type].name, type);
        else
            loadSound(soundFiles[type].name, type, soundFiles[type].loops);
    }
    resetVolumes();
}

// A piece of music is decoded while it plays, a little at a time: a minute of it decoded whole would take
// five megabytes and a tenth of a second at start-up. It is opened as MP3 by type, and opening it reads its
// first frames, so a file that holds no sound fails here as an effect fails in decoding.
void SoundManager::loadMusic(const char* name, int type) {
    const std::string path = folder + name;
    SDL_RWops* const file = openMp3File(path, "Mix_LoadMUSType_RW");
    Mix_Music* const piece = Mix_LoadMUSType_RW(file, MUS_MP3, 1);
    if (!piece) failSound("Mix_LoadMUSType_RW " + path);
    music[static_cast<size_t>(type)] = piece;
}

// Decodes the whole file into memory. Opening and decoding fail with their own steps, so that a
// missing file is told apart from a broken one.
void SoundManager::loadSound(const char* name, int type, bool loop) {
    const std::string path = folder + name;
    // Past the check the mixer reads the file with its MP3 decoder: it chooses by the same first bytes.
    SDL_RWops* const file = openMp3File(path, "Mix_LoadWAV_RW");
    Mix_Chunk* const chunk = Mix_LoadWAV_RW(file, 1);
    if (!chunk) failSound("Mix_LoadWAV_RW " + path);
    if (!sounds.emplace(type, chunk).second) {
        Mix_FreeChunk(chunk);
        return;
    }
    looping[type] = loop;
}

void SoundManager::applyVolumes() const {
    if (!deviceOpen) return;
    for (int type = 0; type < soundTypeCount; ++type) Mix_Volume(type, mixerVolume(volumes[type], muted));
    applyMusicVolume();
}

void SoundManager::applyMusicVolume() const {
    if (deviceOpen && currentMusic >= 0) Mix_VolumeMusic(mixerVolume(volumes[currentMusic], muted));
}

// Mix_PlayChannel halts whatever the channel holds (paused or not) and starts from the beginning,
// so a type is never heard twice at once. The volume and mute are set before the channel starts.
void SoundManager::play(int type) {
    if (isMusic(type) && music[static_cast<size_t>(type)]) {
        currentMusic = type;
        applyMusicVolume();
        if (Mix_PlayMusic(music[static_cast<size_t>(type)], -1) != 0)
            failSound("Mix_PlayMusic " + std::string(soundFiles[type].name));
        return;
    }
    const auto found = sounds.find(type);
    if (found == sounds.end()) {
        std::cerr << "Sound type " << type << ": not found" << std::endl;
        return;
    }
    applyVolumes();
    const int channel = Mix_PlayChannel(type, found->second, looping[type] ? -1 : 0);
    if (channel != type) failSound("Mix_PlayChannel " + std::string(soundFiles[type].name));
}

void SoundManager::pause(int type) {
    if (!validType(type) || !deviceOpen) return;
    if (!isMusic(type))
        Mix_Pause(type);
    else if (type == currentMusic)
        Mix_PauseMusic();
}

void SoundManager::setVolume(int type, float volume) {
    if (!validType(type)) return;
    volumes[type] = clampVolume(volume);
    if (!deviceOpen) return;
    if (isMusic(type))
        applyMusicVolume();
    else
        Mix_Volume(type, mixerVolume(volumes[type], muted));
}

// A paused channel still counts as playing.
bool SoundManager::isPlaying(int type) {
    if (!validType(type) || !deviceOpen) return false;
    if (isMusic(type)) return type == currentMusic && Mix_PlayingMusic() != 0;
    return Mix_Playing(type) != 0;
}

void SoundManager::toggleMute() {
    muted = !muted;
    applyVolumes();
}

void SoundManager::pauseAll() {
    if (!deviceOpen) return;
    for (int type = 0; type < soundTypeCount; ++type) {
        const bool audible = Mix_Playing(type) != 0 && Mix_Paused(type) == 0;
        heldByPauseAll[static_cast<size_t>(type)] = heldByPauseAll[static_cast<size_t>(type)] || audible;
        if (audible) Mix_Pause(type);
    }
    const bool musicAudible = Mix_PlayingMusic() != 0 && Mix_PausedMusic() == 0;
    musicHeldByPauseAll = musicHeldByPauseAll || musicAudible;
    if (musicAudible) Mix_PauseMusic();
}

void SoundManager::resumeAll() {
    if (!deviceOpen) return;
    for (int type = 0; type < soundTypeCount; ++type) {
        if (heldByPauseAll[static_cast<size_t>(type)] && Mix_Playing(type) != 0) Mix_Resume(type);
        heldByPauseAll[static_cast<size_t>(type)] = false;
    }
    if (musicHeldByPauseAll && Mix_PlayingMusic() != 0) Mix_ResumeMusic();
    musicHeldByPauseAll = false;
}

const char* SoundManager::fileName(int type) { return validType(type) ? soundFiles[type].name : ""; }

bool SoundManager::loops(int type) { return validType(type) && soundFiles[type].loops; }
