#include "music/sounddevice.h"

#include <SDL.h>

#include "music/soundring.h"

namespace flr {

namespace {

class SdlOutput final : public CSoundOutput {
public:
    SdlOutput(SDL_AudioDeviceID id, uint32_t callbackFrames)
        : m_id(id), m_callbackFrames(callbackFrames)
    {
    }
    ~SdlOutput() override { SDL_CloseAudioDevice(m_id); }
    uint32_t CallbackFrames() const override { return m_callbackFrames; }

private:
    SDL_AudioDeviceID m_id;
    uint32_t m_callbackFrames;
};

// SDL's audio thread.
void Pull(void* userdata, Uint8* stream, int len)
{
    static_cast<CSoundRing*>(userdata)->Mix(stream, static_cast<size_t>(len));
}

SDL_AudioFormat SdlFormat(const SoundFormat& format)
{
    if (format.formatTag == 3 && format.bitsPerSample == 32) return AUDIO_F32LSB;
    if (format.formatTag != 1) return 0;
    switch (format.bitsPerSample) {
    case 8: return AUDIO_U8;
    case 16: return AUDIO_S16LSB;
    case 32: return AUDIO_S32LSB;
    default: return 0;
    }
}

}  // namespace

bool CSoundDevice::Create()
{
    if (m_created) return true;
    m_created = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    return m_created;
}

void CSoundDevice::Release()
{
    if (!m_created) return;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_created = false;
}

std::unique_ptr<CSoundOutput> CSoundDevice::OpenOutput(CSoundRing& ring, const SoundFormat& format)
{
    const SDL_AudioFormat sdlFormat = SdlFormat(format);
    if (!m_created || sdlFormat == 0 || format.channels == 0 || format.channels > 8 ||
        format.samplesPerSec == 0 || format.samplesPerSec > 384000) {
        return nullptr;
    }
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(format.samplesPerSec);
    want.format = sdlFormat;
    want.channels = static_cast<Uint8>(format.channels);
    // About 50 ms a callback: short enough that closing the device never waits long.
    Uint16 samples = 64;
    while (samples < 4096 && samples * 2u <= format.samplesPerSec / 20) samples *= 2;
    want.samples = samples;
    want.callback = Pull;
    want.userdata = &ring;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to what the hardware takes, the ring stays as read.
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0) return nullptr;
    // The callback runs from now on and plays silence until the ring starts.
    SDL_PauseAudioDevice(id, 0);
    return std::make_unique<SdlOutput>(id, have.samples);
}

}  // namespace flr
