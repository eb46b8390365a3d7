// CSimplePress: the decoder of the compressed batches peers may send. Each
// group of the input is one flag byte and up to eight items; an item whose
// flag bit is set (least significant first) is predicted from a table indexed
// by the last two output bytes, any other item is a literal byte that also
// teaches the table. The table outlives a batch, so a peer's later batches
// predict from what its earlier ones taught; each connection keeps its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zu::algo
{

class CSimplePress
{
  public:
    static constexpr size_t TABLE_SIZE = 32768;
    static constexpr size_t OUTPUT_SIZE = 32768;

    CSimplePress();

    // Decodes one batch into the output buffer (made on first use) and
    // returns the number of bytes written. Decoding stops when a literal is
    // due and the input is exhausted, when a group ends with no input left,
    // or when the output is full; `cut` tells whether the output filled up
    // with items still to come.
    size_t decode(const uint8_t* input, size_t size, bool* cut = nullptr);

    const uint8_t* output() const { return m_output.get(); }

  private:
    uint8_t m_table[TABLE_SIZE];
    std::unique_ptr<uint8_t[]> m_output;
};

} // namespace zu::algo
