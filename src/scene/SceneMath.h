// Vector and matrix helpers of the scene. Matrices are for row vectors (the
// translation in the last row), so transforms compose left to right:
// scale * rotation * translation, world * view * projection.
#pragma once

#include "core/CMatrix4.h"
#include "video/SGeometry.h"

#include <cmath>

namespace kelvo::scene
{

using zu::core::CMatrix4;
using zu::video::SVector3f;

inline SVector3f operator+(SVector3f a, SVector3f b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline SVector3f operator-(SVector3f a, SVector3f b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline SVector3f operator*(SVector3f a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline float dot(SVector3f a, SVector3f b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline SVector3f cross(SVector3f a, SVector3f b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(SVector3f a)
{
    return std::sqrt(dot(a, a));
}
// Unchanged when of length 0.
inline SVector3f normalize(SVector3f a)
{
    const float l = length(a);
    return l > 0.f ? a * (1.f / l) : a;
}

// A point through the matrix (w taken as 1, the result divided by its w).
inline SVector3f transformPoint(const CMatrix4& m, SVector3f p)
{
    const float x = p.x * m(0, 0) + p.y * m(1, 0) + p.z * m(2, 0) + m(3, 0);
    const float y = p.x * m(0, 1) + p.y * m(1, 1) + p.z * m(2, 1) + m(3, 1);
    const float z = p.x * m(0, 2) + p.y * m(1, 2) + p.z * m(2, 2) + m(3, 2);
    const float w = p.x * m(0, 3) + p.y * m(1, 3) + p.z * m(2, 3) + m(3, 3);
    return w != 0.f && w != 1.f ? SVector3f{x / w, y / w, z / w} : SVector3f{x, y, z};
}

inline CMatrix4 translation(SVector3f t)
{
    CMatrix4 m;
    m(3, 0) = t.x;
    m(3, 1) = t.y;
    m(3, 2) = t.z;
    return m;
}

inline CMatrix4 scaling(SVector3f s)
{
    CMatrix4 m;
    m(0, 0) = s.x;
    m(1, 1) = s.y;
    m(2, 2) = s.z;
    return m;
}

// Turns by degrees about x, then y, then z.
inline CMatrix4 rotationDegrees(SVector3f degrees)
{
    const float k = 3.14159265358979f / 180.f;
    const float cx = std::cos(degrees.x * k), sx = std::sin(degrees.x * k);
    const float cy = std::cos(degrees.y * k), sy = std::sin(degrees.y * k);
    const float cz = std::cos(degrees.z * k), sz = std::sin(degrees.z * k);
    CMatrix4 rx, ry, rz;
    rx(1, 1) = cx;
    rx(1, 2) = sx;
    rx(2, 1) = -sx;
    rx(2, 2) = cx;
    ry(0, 0) = cy;
    ry(0, 2) = -sy;
    ry(2, 0) = sy;
    ry(2, 2) = cy;
    rz(0, 0) = cz;
    rz(0, 1) = sz;
    rz(1, 0) = -sz;
    rz(1, 1) = cz;
    return rx * ry * rz;
}

// The inverse of a rigid transform (rotation and translation only).
inline CMatrix4 rigidInverse(const CMatrix4& m)
{
    CMatrix4 out;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out(r, c) = m(c, r);
    for (int c = 0; c < 3; ++c)
        out(3, c) = -(m(3, 0) * out(0, c) + m(3, 1) * out(1, c) + m(3, 2) * out(2, c));
    return out;
}

} // namespace kelvo::scene
