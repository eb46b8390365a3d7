// SVector3f: three floats, the positions, velocities and directions the audio
// driver passes to OpenAL (its right-handed coordinates).
#pragma once

namespace zu::audio
{

struct SVector3f
{
    float x = 0.f;
    float y = 0.f;
    float z = 0.f;
};

} // namespace zu::audio
