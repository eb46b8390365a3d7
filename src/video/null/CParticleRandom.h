// CParticleRandom: the one random generator every particle package and
// particle shares, so a run with the same frame times plays the same. It is
// x <- 40692 x mod 2147483399, started from 0x0F0F0F0F.
#pragma once

#include <cstdint>

namespace kelvo::video
{

class CParticleRandom
{
  public:
    static constexpr int32_t MODULUS = 2147483399;
    static constexpr int32_t FIRST_SEED = 0x0F0F0F0F;

    // Starts the sequence again from a value (taken into 1 .. MODULUS - 1).
    static void seed(int32_t value);
    // The next value, in 1 .. MODULUS - 1.
    static int32_t next();
    // low + a value in [0, high - low); low itself when high <= low. The
    // range is never wider than its fields say.
    static int32_t inRange(int32_t low, int32_t high);
    // A value in [0, count); 0 for a count below 1.
    static int32_t below(int32_t count);

  private:
    static int32_t s_state;
};

} // namespace kelvo::video
