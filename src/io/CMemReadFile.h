// CMemReadFile: a read-only window on a byte buffer. The buffer is either
// borrowed or owned; an owned buffer must come from new uint8_t[] and is freed
// with the file.
#pragma once

#include "io/IReadFile.h"

#include <cstdint>

namespace zu::io
{

class CMemReadFile : public IReadFile
{
  public:
    CMemReadFile(const void* data, int32_t size, bool owned);
    ~CMemReadFile() override;

    int32_t read(void* buffer, uint32_t count) override;
    // Memory files have no lines to offer.
    bool readLine(char*, int32_t) override { return false; }
    // A target before the start or beyond the end is refused (the end itself
    // is allowed) and leaves the position unchanged.
    bool seek(int32_t offset, bool relative = false) override;
    int32_t getSize() const override { return m_size; }
    int32_t getPos() const override { return m_pos; }
    const core::CString& getFileName() const override;
    int64_t getLastModified() const override { return 0; }

    // The byte at the current position.
    const uint8_t* getPointer() const { return m_data + m_pos; }
    int32_t getRemaining() const { return m_size - m_pos; }

  private:
    const uint8_t* m_data;
    int32_t m_size;
    int32_t m_pos = 0;
    bool m_owned;
};

} // namespace zu::io
