// SLight: a dynamic light as the 3D scene hands it to the driver. With
// `directional` set the position is the direction the light shines in.
#pragma once

namespace zu::video
{

struct SLight
{
    float ambient[4] = {0.f, 0.f, 0.f, 1.f};
    float diffuse[4] = {1.f, 1.f, 1.f, 1.f};
    float specular[4] = {1.f, 1.f, 1.f, 1.f};
    float position[3] = {0.f, 0.f, 0.f};
    float radius = 100.f;
    bool castShadows = false;
    bool directional = false;
};

static_assert(sizeof(SLight) == 68, "lights are 68-byte records");

} // namespace zu::video
