#include "algo/LineIntersection.h"

#include <gtest/gtest.h>

using zu::algo::lineIntersects;

namespace
{
struct Case
{
    const char* what;
    float s[8];
    bool hit;
    float x, y;
};
} // namespace

TEST(LineIntersects, TableOfCases)
{
    const Case cases[] = {
        {"crossing diagonals", {0, 0, 10, 10, 0, 10, 10, 0}, true, 5, 5},
        {"collinear, B starts inside A", {0, 0, 10, 0, 5, 0, 20, 0}, true, 5, 0},
        {"collinear, touching at an end only", {0, 0, 10, 0, 10, 0, 20, 0}, false, 0, 0},
        {"collinear, B's second end inside A", {0, 0, 10, 0, 20, 0, 4, 0}, true, 4, 0},
        {"horizontal lines apart", {0, 0, 10, 0, 0, 1, 10, 1}, false, 0, 0},
        {"both vertical, B inside A", {3, 0, 3, 10, 3, 2, 3, 20}, true, 3, 2},
        {"both vertical, different x", {3, 0, 3, 10, 4, 2, 4, 20}, false, 0, 0},
        {"A vertical through B", {5, -5, 5, 5, 0, 0, 10, 2}, true, 5, 1},
        {"A vertical, B to one side", {5, -5, 5, 5, 6, 0, 10, 2}, false, 0, 0},
        {"A vertical, touching B's end", {5, 0, 5, 5, 0, 0, 5, 0}, true, 5, 0},
        {"B vertical through A", {0, 0, 10, 10, 4, -1, 4, 8}, true, 4, 4},
        {"B vertical, missing A in y", {0, 0, 10, 10, 4, 5, 4, 8}, false, 0, 0},
        {"A horizontal, B slanted", {0, 2, 10, 2, 0, 0, 4, 4}, true, 2, 2},
        {"B horizontal, A slanted", {0, 0, 4, 4, 0, 3, 10, 3}, true, 3, 3},
        {"general, segments fall short", {0, 0, 1, 1, 0, 10, 10, 9}, false, 0, 0},
        {"parallel slopes", {0, 0, 10, 5, 0, 1, 10, 6}, false, 0, 0},
        {"general, meeting at an end", {0, 0, 2, 4, 2, 4, 6, 0}, true, 2, 4},
    };
    for (const Case& c : cases)
    {
        auto r = lineIntersects(c.s[0], c.s[1], c.s[2], c.s[3], c.s[4], c.s[5], c.s[6], c.s[7]);
        EXPECT_EQ(r.hit, c.hit) << c.what;
        if (c.hit)
        {
            EXPECT_NEAR(r.x, c.x, 1e-4) << c.what;
            EXPECT_NEAR(r.y, c.y, 1e-4) << c.what;
        }
    }
}
