// CReadFile: a disk file open for reading, byte for byte (no newline
// translation). Its size is measured once, when it is opened.
#pragma once

#include "io/IReadFile.h"

#include <cstdio>

namespace kelvo::io
{

class CReadFile : public zu::io::IReadFile
{
  public:
    // Null when the path cannot be opened, names a folder, or is too large for
    // 32-bit sizes. The file is named by `path`.
    static CReadFile* create(const zu::core::CString& path);

    ~CReadFile() override;

    int32_t read(void* buffer, uint32_t count) override;
    bool readLine(char* buffer, int32_t capacity) override;
    bool seek(int32_t offset, bool relative = false) override;
    int32_t getSize() const override { return m_size; }
    int32_t getPos() const override;
    const zu::core::CString& getFileName() const override { return m_fileName; }
    int64_t getLastModified() const override { return m_lastModified; }

  private:
    CReadFile(FILE* file, const zu::core::CString& path, int32_t size, int64_t lastModified);

    FILE* m_file;
    zu::core::CString m_fileName;
    int32_t m_size;
    int64_t m_lastModified;
};

} // namespace kelvo::io
