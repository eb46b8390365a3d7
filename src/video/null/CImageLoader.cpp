#include "video/null/CImageLoader.h"

#include "core/Output.h"
#include "io/IReadFile.h"

#include <cstring>
#include <vector>

namespace kelvo::video
{

namespace
{

// Largest image file a loader reads.
constexpr int32_t kMaxFileBytes = 512 << 20;

// The file's bytes from its start; false when it can't be read whole.
bool readWholeFile(zu::io::IReadFile* file, std::vector<uint8_t>& bytes)
{
    int32_t size = file->getSize();
    if (size < 0 || size > kMaxFileBytes || !file->seek(0)) return false;
    bytes.resize(size_t(size));
    int32_t got = size ? file->read(bytes.data(), uint32_t(size)) : 0;
    bytes.resize(size_t(got < 0 ? 0 : got));
    return true;
}

} // namespace

bool CImageLoader::acceptsName(const zu::core::CString& fileName) const
{
    return fileName.find(m_format.extension) != zu::core::CString::npos;
}

bool CImageLoader::acceptsContent(zu::io::IReadFile* file) const
{
    // The signature is looked for from the file's current position.
    const size_t length = strlen(m_format.signature);
    const size_t wanted = m_format.signatureOffset + length;
    uint8_t head[16];
    if (!file || !ZU_CHECK(wanted <= sizeof head)) return false;
    const int32_t got = file->read(head, uint32_t(wanted));
    return got >= 0 && size_t(got) == wanted &&
           memcmp(head + m_format.signatureOffset, m_format.signature, length) == 0;
}

zu::video::IImage* CImageLoader::load(zu::io::IReadFile* file) const
{
    if (!file) return nullptr;
    const char* name = file->getFileName().c_str();
    std::vector<uint8_t> bytes;
    if (!readWholeFile(file, bytes) || bytes.size() < m_format.minimumBytes)
    {
        zu::core::zuLog(zu::core::ELL_ERROR, "%s: %s", name, m_format.shortFileMessage);
        return nullptr;
    }
    return decode(name, bytes.data(), bytes.size());
}

} // namespace kelvo::video
