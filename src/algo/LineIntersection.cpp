#include "algo/LineIntersection.h"

namespace zu::algo
{
namespace
{

bool strictlyBetween(float v, float a, float b) { return (a < v && v < b) || (b < v && v < a); }

bool bothAbove(float a, float b, float v) { return a > v && b > v; }
bool bothBelow(float a, float b, float v) { return a < v && b < v; }
bool sameSide(float a, float b, float v) { return bothAbove(a, b, v) || bothBelow(a, b, v); }

} // namespace

SLineHit lineIntersects(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                        float y4)
{
    SLineHit r;
    const bool aVertical = x1 == x2;
    const bool bVertical = x4 - x3 == 0.f;
    if (aVertical && bVertical)
    {
        if (x3 != x1)
            return r;
        r.x = x1;
        if (strictlyBetween(y3, y1, y2))
            r = {true, x1, y3};
        else if (strictlyBetween(y4, y1, y2))
            r = {true, x1, y4};
        return r;
    }
    if (aVertical)
    {
        if (sameSide(x3, x4, x1))
            return r;
        float y = (y4 - y3) / (x4 - x3) * (x1 - x3) + y3;
        if (sameSide(y1, y2, y))
            return r;
        return {true, x1, y};
    }
    if (bVertical)
    {
        if (sameSide(x1, x2, x3))
            return r;
        float y = (y2 - y1) / (x2 - x1) * (x3 - x1) + y1;
        if (sameSide(y3, y4, y))
            return r;
        return {true, x3, y};
    }
    const bool aHorizontal = y1 == y2;
    const bool bHorizontal = y3 == y4;
    if (aHorizontal && bHorizontal)
    {
        if (y3 != y1)
            return r;
        r.y = y1;
        if (strictlyBetween(x3, x1, x2))
            r = {true, x3, y1};
        else if (strictlyBetween(x4, x1, x2))
            r = {true, x4, y1};
        return r;
    }
    if (aHorizontal)
    {
        if (sameSide(y3, y4, y1))
            return r;
        float x = (x4 - x3) / (y4 - y3) * (y1 - y3) + x3;
        if (sameSide(x1, x2, x))
            return r;
        return {true, x, y1};
    }
    if (bHorizontal)
    {
        if (sameSide(y1, y2, y3))
            return r;
        float x = (x2 - x1) / (y2 - y1) * (y3 - y1) + x1;
        if (sameSide(x3, x4, x))
            return r;
        return {true, x, y3};
    }
    float m1 = (y2 - y1) / (x2 - x1);
    float m2 = (y4 - y3) / (x4 - x3);
    if (m1 == m2)
        return r;
    float b1 = y1 - m1 * x1;
    float b2 = y3 - m2 * x3;
    float x = -(b1 - b2) / (m1 - m2);
    float y = m1 * x + b1;
    if ((x1 - x) * (x - x2) >= 0.f && (x3 - x) * (x - x4) >= 0.f && (y1 - y) * (y - y2) >= 0.f &&
        (y3 - y) * (y - y4) >= 0.f)
        return {true, x, y};
    return r;
}

} // namespace zu::algo
