#pragma once

#include <memory>
#include <string>

namespace platform {

inline constexpr int MCIERR_SEQ_PORT_INUSE = 337;

// The media command strings the music needs: "play <file>" starts a MIDI file once from its
// start, "stop <file>" stops it. Answers 0 on success, 337 when no sound device can be had,
// another non-zero code for any other failure. The reply buffer gets an empty string.
int mciSendStringA(const std::string& command, char* reply, unsigned replyLength, void* callbackWindow);

// The seam behind mciSendStringA: tests install a recorder.
class MciDevice {
  public:
    virtual ~MciDevice() = default;
    virtual int send(const std::string& command) = 0;
};
void setMciDevice(std::unique_ptr<MciDevice> device); // nullptr restores the real device

} // namespace platform
