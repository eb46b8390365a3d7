// The decoder of compressed batches, against hand-made inputs and against
// an encoder of the same format written here.
#include "algo/CSimplePress.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using zu::algo::CSimplePress;
using Bytes = std::vector<uint8_t>;

namespace
{

// Encodes as the format describes: an item is predicted when the encoder's
// copy of the table already holds it for the context; otherwise a literal
// that teaches the table.
class CEncoder
{
  public:
    Bytes encode(const Bytes& data)
    {
        Bytes out;
        uint32_t previous = 0, beforePrevious = 0;
        for (size_t i = 0; i < data.size(); i += 8)
        {
            size_t flagAt = out.size();
            out.push_back(0);
            for (size_t k = 0; k < 8 && i + k < data.size(); ++k)
            {
                uint32_t context = (beforePrevious << 7) ^ previous;
                uint8_t value = data[i + k];
                if (m_table[context] == value)
                    out[flagAt] |= uint8_t(1u << k);
                else
                {
                    out.push_back(value);
                    m_table[context] = value;
                }
                beforePrevious = previous;
                previous = value;
            }
        }
        return out;
    }

  private:
    uint8_t m_table[CSimplePress::TABLE_SIZE] = {};
};

Bytes decode(CSimplePress& press, const Bytes& input, bool* cut = nullptr)
{
    size_t size = press.decode(input.data(), input.size(), cut);
    return Bytes(press.output(), press.output() + size);
}

} // namespace

TEST(SimplePress, HandMadeInputs)
{
    const struct
    {
        Bytes input;
        Bytes output;
    } cases[] = {
        // Flags all zero: the literals come out unchanged.
        {{0x00, 1, 2, 3, 4, 5, 6, 7, 8, 0x00, 9, 10}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        // A predicted item from a fresh table is 0; a set flag needs no input byte.
        {{0x01, 'a'}, {0, 'a'}},
        // Ends when a literal is due and the input is used up.
        {{0x00, 'x', 'y'}, {'x', 'y'}},
        // Every flag set: eight predicted items from one flag byte.
        {{0xFF}, Bytes(8, 0)},
        {{}, {}},
    };
    for (const auto& c : cases)
    {
        CSimplePress press;
        EXPECT_EQ(decode(press, c.input), c.output);
    }
}

TEST(SimplePress, ThePredictionTableOutlivesABatch)
{
    CSimplePress press;
    // "ab" after the start context, then "ab" again from the same contexts.
    EXPECT_EQ(decode(press, {0x00, 'a', 'b'}), (Bytes{'a', 'b'}));
    // Two predicted items, then a literal is due and there is no input.
    EXPECT_EQ(decode(press, {0x03}), (Bytes{'a', 'b'}));
    // A second decoder starts from an empty table.
    CSimplePress fresh;
    EXPECT_EQ(decode(fresh, {0x03}), (Bytes{0, 0}));
}

TEST(SimplePress, EncodedDataDecodesToItself)
{
    std::mt19937 random(11);
    CEncoder encoder;
    CSimplePress press;
    for (int round = 0; round < 50; ++round)
    {
        // Repetitive data, so predictions happen, with noise, so literals do.
        Bytes data(random() % 3000 + 1);
        const char* phrase = "the quick brown fox ";
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = random() % 5 == 0 ? uint8_t(random()) : uint8_t(phrase[i % 20]);
        Bytes encoded = encoder.encode(data);
        // The unused items of the last group are literals with no input left.
        EXPECT_EQ(decode(press, encoded), data) << round;
    }
}

TEST(SimplePress, OutputStopsAt32768Bytes)
{
    CSimplePress press;
    Bytes input;
    for (int i = 0; i < 5000; ++i)
        input.push_back(0xFF); // 40000 predicted items
    bool cut = false;
    Bytes out = decode(press, input, &cut);
    EXPECT_EQ(out.size(), CSimplePress::OUTPUT_SIZE);
    EXPECT_TRUE(cut);
    Bytes exact(4096, 0xFF); // exactly 32768 items
    out = decode(press, exact, &cut);
    EXPECT_EQ(out.size(), CSimplePress::OUTPUT_SIZE);
    EXPECT_FALSE(cut);
}
