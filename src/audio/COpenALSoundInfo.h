// COpenALSoundInfo: one sound effect decoded whole into an OpenAL buffer.
#pragma once

#include "audio/CSoundInfoStub.h"

#include <cstdint>

namespace kelvo::audio
{

class COpenALSoundInfo : public zu::audio::CSoundInfoStub
{
  public:
    // The buffer stays owned by the driver's buffer list; 0 when the driver
    // has no OpenAL context (the sound is known but cannot be heard).
    COpenALSoundInfo(float duration, uint32_t buffer);

    float getDuration() const { return m_duration; }
    uint32_t getBuffer() const { return m_buffer; }
    // The source the sound loops on; 0 when it does not loop.
    uint32_t getLoopSource() const { return m_loopSource; }
    void setLoopSource(uint32_t source) { m_loopSource = source; }

  private:
    float m_duration;
    uint32_t m_buffer;
    uint32_t m_loopSource = 0;
};

} // namespace kelvo::audio
