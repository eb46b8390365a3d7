// Where two line segments meet, in 32-bit floats. Collinear segments count as
// meeting only where an end point of the second lies strictly inside the first.
#pragma once

namespace zu::algo
{

struct SLineHit
{
    bool hit = false;
    float x = 0.f;
    float y = 0.f;
};

SLineHit lineIntersects(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                        float y4);

} // namespace zu::algo
