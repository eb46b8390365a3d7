// CWriteFile: a disk file open for writing, byte for byte, truncating or
// appending. The position starts at 0 in both modes.
#pragma once

#include "io/IWriteFile.h"

#include <cstdio>

namespace kelvo::io
{

class CWriteFile : public zu::io::IWriteFile
{
  public:
    // Null (with one log line) when the file cannot be created.
    static CWriteFile* create(const zu::core::CString& path, bool append);

    ~CWriteFile() override;

    int32_t write(const void* data, uint32_t count) override;
    bool seek(int32_t offset, bool relative = false) override;
    void flush() override;
    int32_t getPos() const override;
    const zu::core::CString& getFileName() const override { return m_fileName; }
    int32_t getOpenSize() const override { return m_openSize; }

  private:
    CWriteFile(FILE* file, const zu::core::CString& path, int32_t openSize);

    FILE* m_file;
    zu::core::CString m_fileName;
    int32_t m_openSize;
};

} // namespace kelvo::io
