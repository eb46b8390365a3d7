#include "audio/COpenALTrackedSoundInfo.h"

namespace kelvo::audio
{

COpenALTrackedSoundInfo::COpenALTrackedSoundInfo(COpenALSoundInfo* sound, uint32_t source,
                                                 float pitch)
    : m_sound(sound), m_source(source), m_pitch(pitch)
{
}

} // namespace kelvo::audio
