#include "audio/COpenALSoundInfo.h"

#include "core/Output.h"

namespace kelvo::audio
{

COpenALSoundInfo::COpenALSoundInfo(float duration, uint32_t buffer)
    : m_duration(duration), m_buffer(buffer)
{
    ZU_CHECK(duration > 0);
}

} // namespace kelvo::audio
