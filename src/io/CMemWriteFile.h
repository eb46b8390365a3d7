// CMemWriteFile: a write file into a growable memory buffer, named "MemFile".
// The written bytes are those up to the high-water mark.
#pragma once

#include "io/IWriteFile.h"

#include <cstdint>
#include <vector>

namespace zu::io
{

class CMemWriteFile : public IWriteFile
{
  public:
    CMemWriteFile() = default;

    // Writes at the position, growing the buffer when needed; a write that
    // would pass 2 GiB writes nothing.
    int32_t write(const void* data, uint32_t count) override;
    // Clamps the target to 0 .. the high-water mark; always succeeds.
    bool seek(int32_t offset, bool relative = false) override;
    void flush() override {}
    int32_t getPos() const override { return m_pos; }
    const core::CString& getFileName() const override;
    int32_t getOpenSize() const override { return 0; }

    const uint8_t* getData() const { return m_buffer.data(); }
    // The high-water mark: how many bytes the file holds.
    int32_t getSize() const { return m_size; }
    int32_t getCapacity() const { return static_cast<int32_t>(m_buffer.size()); }

  private:
    std::vector<uint8_t> m_buffer;
    int32_t m_pos = 0;
    int32_t m_size = 0;
};

} // namespace zu::io
