#include "video/null/CParticleRandom.h"

namespace kelvo::video
{

int32_t CParticleRandom::s_state = CParticleRandom::FIRST_SEED;

void CParticleRandom::seed(int32_t value)
{
    int64_t x = int64_t(value) % MODULUS;
    if (x <= 0) x += MODULUS - 1;
    s_state = int32_t(x);
}

int32_t CParticleRandom::next()
{
    // The split form of 40692 x mod m: 52774 is m / 40692, and the product
    // and the correction stay within 64 bits for any state.
    const int64_t x = s_state;
    int64_t y = 40692 * x - (x / 52774) * int64_t(MODULUS);
    if (y <= 0) y += MODULUS;
    s_state = int32_t(y);
    return s_state;
}

int32_t CParticleRandom::inRange(int32_t low, int32_t high)
{
    if (high <= low) return low;
    const int64_t width = int64_t(high) - low;
    return int32_t(low + next() % width);
}

int32_t CParticleRandom::below(int32_t count)
{
    return count >= 1 ? next() % count : 0;
}

} // namespace kelvo::video
