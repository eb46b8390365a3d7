#include "io/CMemoryReadFile.h"

namespace kelvo::io
{

CMemoryReadFile::CMemoryReadFile(const void* data, int32_t size, bool owned,
                                 const zu::core::CString& name)
    : CMemReadFile(data, size, owned), m_fileName(name)
{
}

} // namespace kelvo::io
