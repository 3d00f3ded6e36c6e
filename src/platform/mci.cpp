#include "platform/mci.h"

#include "platform/audio.h"

#include "platform/sdlmixer.h"

#include <algorithm>
#include <cctype>

namespace platform {

namespace {

// The media control error numbers this stand-in answers with.
constexpr int MCIERR_UNRECOGNIZED_COMMAND = 261;
constexpr int MCIERR_INVALID_DEVICE_NAME = 263;
constexpr int MCIERR_FILE_NOT_FOUND = 275;
constexpr int MCIERR_DEVICE_NOT_READY = 276;

std::unique_ptr<MciDevice>& installedDevice() {
    static std::unique_ptr<MciDevice> device;
    return device;
}

// One song at a time, known by the file name it was started with.
Mix_Music* music = nullptr;
std::string musicName;

int play(const std::string& file) {
    if (file.empty()) return MCIERR_INVALID_DEVICE_NAME;
    if (!openAudio()) return MCIERR_SEQ_PORT_INUSE;
    detail::releaseMusic();
    const sdl::Api* const sdl = sdl::api();
    Mix_Music* song = sdl->LoadMUS(file.c_str());
    if (song == nullptr) return MCIERR_FILE_NOT_FOUND;
    if (sdl->PlayMusic(song, 0) != 0) { // once, from the start
        sdl->FreeMusic(song);
        return MCIERR_DEVICE_NOT_READY;
    }
    music = song;
    musicName = file;
    return 0;
}

int stop(const std::string& file) {
    if (music == nullptr || file != musicName) return MCIERR_INVALID_DEVICE_NAME;
    detail::releaseMusic();
    return 0;
}

int sendToDevice(const std::string& command) {
    const auto space = command.find(' ');
    std::string verb = command.substr(0, space);
    const std::string file = space == std::string::npos ? std::string() : command.substr(space + 1);
    std::transform(verb.begin(), verb.end(), verb.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (verb == "play") return play(file);
    if (verb == "stop") return stop(file);
    return MCIERR_UNRECOGNIZED_COMMAND;
}

} // namespace

int mciSendStringA(const std::string& command, char* reply, unsigned replyLength, void* /*callbackWindow*/) {
    if (reply != nullptr && replyLength > 0) reply[0] = '\0';
    if (installedDevice()) return installedDevice()->send(command);
    return sendToDevice(command);
}

void setMciDevice(std::unique_ptr<MciDevice> device) {
    installedDevice() = std::move(device);
}

namespace detail {

void releaseMusic() {
    if (music == nullptr) return;
    sdl::api()->HaltMusic();
    sdl::api()->FreeMusic(music);
    music = nullptr;
    musicName.clear();
}

} // namespace detail

} // namespace platform
