#include "algo/CSimplePress.h"

#include <cstring>

namespace zu::algo
{

CSimplePress::CSimplePress()
{
    memset(m_table, 0, sizeof m_table);
}

size_t CSimplePress::decode(const uint8_t* input, size_t size, bool* cut)
{
    if (!m_output) m_output.reset(new uint8_t[OUTPUT_SIZE]);
    if (cut) *cut = false;

    // The context is (byte before the previous << 7) ^ previous, 15 bits.
    uint32_t previous = 0, beforePrevious = 0;
    size_t in = 0, out = 0;
    while (in < size)
    {
        uint8_t flags = input[in++];
        for (int k = 0; k < 8; ++k)
        {
            bool literal = !(flags & (1u << k));
            if (literal && in >= size) return out;
            if (out == OUTPUT_SIZE)
            {
                if (cut) *cut = true;
                return out;
            }
            uint32_t context = ((beforePrevious << 7) ^ previous) & (TABLE_SIZE - 1);
            uint8_t value;
            if (literal)
            {
                value = input[in++];
                m_table[context] = value;
            }
            else
                value = m_table[context];
            m_output[out++] = value;
            beforePrevious = previous;
            previous = value;
        }
    }
    return out;
}

} // namespace zu::algo
