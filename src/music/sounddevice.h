#pragma once

#include <cstdint>
#include <memory>

namespace flr {

class CSoundRing;

// What a buffer's bytes are: the wave file's format.
struct SoundFormat {
    uint16_t formatTag = 1;  // 1 PCM, 3 IEEE float
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint16_t bitsPerSample = 0;
};

// An open audio output that plays one buffer; closing it (the destructor) stops the audio
// callback before it returns, so the buffer may go after it.
class CSoundOutput {
public:
    virtual ~CSoundOutput() = default;
    // The frames one callback takes: what the device holds beyond what has been heard.
    virtual uint32_t CallbackFrames() const = 0;
};

// The audio output device (SDL audio). Owned by the view; user-interface thread only.
class CSoundDevice {
public:
    CSoundDevice() = default;
    ~CSoundDevice() { Release(); }
    CSoundDevice(const CSoundDevice&) = delete;
    CSoundDevice& operator=(const CSoundDevice&) = delete;

    // Starts the audio subsystem; true at once when already created.
    bool Create();
    void Release();
    bool IsCreated() const { return m_created; }

    // Opens an output that plays `ring` (which must outlive it) in `format`; nullptr when
    // the device is not created or the format cannot be played.
    std::unique_ptr<CSoundOutput> OpenOutput(CSoundRing& ring, const SoundFormat& format);

private:
    bool m_created = false;
};

}  // namespace flr
