// S3DVertex: the generic vertex record, 36 bytes. It is what Mesh::addVertex
// takes and what the 3D triangle lists are made of.
#pragma once

#include <cstdint>

namespace zu::video
{

struct S3DVertex
{
    float x = 0.f, y = 0.f, z = 0.f;
    float nx = 0.f, ny = 0.f, nz = 0.f;
    uint32_t color = 0xFFFFFFFF;
    float u = 0.f, v = 0.f;
};

static_assert(sizeof(S3DVertex) == 36, "the vertex record is wrapped without copying");

} // namespace zu::video
