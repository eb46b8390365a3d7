// CMemoryReadFile: a memory read file that carries a name, for files read whole
// into memory and for inflated archive members.
#pragma once

#include "io/CMemReadFile.h"

namespace kelvo::io
{

class CMemoryReadFile : public zu::io::CMemReadFile
{
  public:
    CMemoryReadFile(const void* data, int32_t size, bool owned, const zu::core::CString& name);

    const zu::core::CString& getFileName() const override { return m_fileName; }

  private:
    zu::core::CString m_fileName;
};

} // namespace kelvo::io
