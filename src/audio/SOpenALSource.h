// SOpenALSource: one pooled OpenAL source and the pitch of the sound it plays,
// so that a change of the global pitch can be applied to it.
#pragma once

#include <cstdint>

namespace kelvo::audio
{

struct SOpenALSource
{
    uint32_t id = 0;
    float pitch = 1.f;
    float reserved = 1.f;
};

} // namespace kelvo::audio
