#include "scene/CAssimpIOStream.h"

#include "io/IReadFile.h"

#include <cstdint>
#include <limits>

namespace kelvo::scene
{

CAssimpIOStream::CAssimpIOStream(zu::io::IReadFile* file) : m_file(file) {}

CAssimpIOStream::~CAssimpIOStream()
{
    m_file->drop();
}

size_t CAssimpIOStream::Read(void* buffer, size_t size, size_t count)
{
    if (size == 0 || count == 0) return 0;
    // Files are at most 2 GiB; a request past that reads what there is.
    const size_t limit = size_t(std::numeric_limits<int32_t>::max());
    const size_t wanted = count > limit / size ? limit / size * size : size * count;
    const int32_t got = m_file->read(buffer, uint32_t(wanted));
    return got > 0 ? size_t(got) / size : 0;
}

aiReturn CAssimpIOStream::Seek(size_t offset, aiOrigin origin)
{
    // Offsets from the current position or the end arrive as wrapped values.
    const int64_t delta = int64_t(static_cast<std::ptrdiff_t>(offset));
    int64_t target = delta;
    if (origin == aiOrigin_CUR)
        target = int64_t(m_file->getPos()) + delta;
    else if (origin == aiOrigin_END)
        target = int64_t(m_file->getSize()) + delta;
    if (target < 0 || target > int64_t(m_file->getSize())) return aiReturn_FAILURE;
    return m_file->seek(int32_t(target)) ? aiReturn_SUCCESS : aiReturn_FAILURE;
}

size_t CAssimpIOStream::Tell() const
{
    return size_t(m_file->getPos());
}

size_t CAssimpIOStream::FileSize() const
{
    const int32_t size = m_file->getSize();
    return size > 0 ? size_t(size) : 0;
}

} // namespace kelvo::scene
