#include "io/CTextReader.h"

#include "core/ByteOrder.h"
#include "core/Output.h"
#include "io/IReadFile.h"

#include <new>

namespace kelvo::io
{

CTextReader::CTextReader(zu::io::IReadFile* file)
{
    if (!file) return;
    m_fileName = file->getFileName();
    int32_t size = file->getSize();
    if (size <= 0 || !file->seek(0)) return;

    // Two zero bytes past the end end the text whatever the encoding.
    const size_t bytes = size_t(size) + 2;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[bytes]());
    if (!buffer)
    {
        zu::core::zuLog(zu::core::ELL_ERROR, "Not enough memory to read %s", m_fileName.c_str());
        return;
    }
    if (file->read(buffer.get(), uint32_t(size)) <= 0) return;

    const uint8_t* b = buffer.get();
    bool little = b[0] == 0xFF && b[1] == 0xFE;
    bool big = b[0] == 0xFE && b[1] == 0xFF;
    size_t count;
    if (little || big)
    {
        // Unit i is bytes 2 + 2i and 3 + 2i, and the count is (size + 1) / 2,
        // which for an even size is size / 2. With an odd size the last unit
        // would need a byte past the added zeros: it is dropped (size / 2
        // units), and the one before it, the stray byte and an added zero,
        // becomes the final zero.
        count = size_t(size) / 2;
        m_encoding = little ? ETE_UTF16_LE : ETE_UTF16_BE;
    }
    else
        count = bytes;

    m_text.reset(new (std::nothrow) char16_t[count]);
    if (!m_text)
    {
        zu::core::zuLog(zu::core::ELL_ERROR, "Not enough memory to read %s", m_fileName.c_str());
        return;
    }
    for (size_t i = 0; i < count; ++i)
    {
        if (m_encoding == ETE_BYTES)
            m_text[i] = b[i];
        else if (little)
            m_text[i] = zu::core::readLE16(b + 2 + 2 * i);
        else
            m_text[i] = zu::core::readBE16(b + 2 + 2 * i);
    }
    if (m_encoding != ETE_BYTES && size % 2) m_text[count - 1] = 0;
    m_size = int32_t(count);
}

} // namespace kelvo::io
