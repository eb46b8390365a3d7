// CLimitReadFile: a window of fixed length on another read file, used for
// stored archive members. Several windows share one archive file, so each
// keeps its own position and moves the shared file there before every read.
#pragma once

#include "io/IReadFile.h"

namespace kelvo::io
{

class CLimitReadFile : public zu::io::IReadFile
{
  public:
    // The window starts at `start` in `file` and holds `size` bytes; it keeps a
    // reference to the file.
    CLimitReadFile(zu::io::IReadFile* file, int32_t start, int32_t size,
                   const zu::core::CString& name);
    ~CLimitReadFile() override;

    int32_t read(void* buffer, uint32_t count) override;
    bool readLine(char* buffer, int32_t capacity) override;
    // Relative seeks are clamped to the window's end; absolute ones fail beyond
    // it. Nothing may move before the window's start.
    bool seek(int32_t offset, bool relative = false) override;
    int32_t getSize() const override { return m_size; }
    int32_t getPos() const override { return m_pos; }
    const zu::core::CString& getFileName() const override { return m_fileName; }
    int64_t getLastModified() const override { return m_file->getLastModified(); }

  private:
    zu::io::IReadFile* m_file;
    int32_t m_start;
    int32_t m_size;
    int32_t m_pos = 0;
    zu::core::CString m_fileName;
};

} // namespace kelvo::io
