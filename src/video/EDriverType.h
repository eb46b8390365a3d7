// EDriverType: the kinds of video driver. The device creates the driver of
// the type it was given; drivers and textures report theirs.
#pragma once

namespace zu
{

enum EDriverType
{
    EDT_NONE = 0,
    EDT_DIRECT3D9 = 1,
    EDT_OPENGL = 2,
    // No window and no drawing: the null driver, for tests and tools.
    EDT_NULL = 3
};

} // namespace zu
