// COpenALTrackedSoundInfo: a looping positioned sound that the script moves
// while it plays: its sound, the source it plays on and its own pitch (the
// source plays at that pitch times the global pitch).
#pragma once

#include "audio/CTrackedSoundInfoStub.h"

#include <cstdint>

namespace kelvo::audio
{

class COpenALSoundInfo;

class COpenALTrackedSoundInfo : public zu::audio::CTrackedSoundInfoStub
{
  public:
    COpenALTrackedSoundInfo(COpenALSoundInfo* sound, uint32_t source, float pitch);

    COpenALSoundInfo* getSound() const { return m_sound; }
    uint32_t getSource() const { return m_source; }
    float getPitch() const { return m_pitch; }
    void setPitch(float pitch) { m_pitch = pitch; }

  private:
    COpenALSoundInfo* m_sound;
    uint32_t m_source;
    float m_pitch;
};

} // namespace kelvo::audio
