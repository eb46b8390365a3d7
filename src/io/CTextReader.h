// CTextReader: the whole content of one file as 16-bit text units.
//
// A file starting with the byte-order mark FF FE (or FE FF) is UTF-16,
// little- (or big-) endian: its units follow the mark and the last one is a
// zero. Any other file gives one unit per byte (0 to 255), followed by two
// zero units, so the count is the size + 2. A UTF-16 file with an odd number
// of bytes loses its incomplete last unit. An empty or unreadable file gives
// no text (null, count 0).
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

#include <cstdint>
#include <memory>

namespace zu::io
{
class IReadFile;
}

namespace kelvo::io
{

class CTextReader : public zu::IUnknown
{
  public:
    enum EEncoding
    {
        // One unit per byte: the units are the file's bytes.
        ETE_BYTES,
        ETE_UTF16_LE,
        ETE_UTF16_BE
    };

    // Reads the whole file from its start; a null file gives no text.
    explicit CTextReader(zu::io::IReadFile* file);

    // The units, or null when there is no text.
    const char16_t* getText() const { return m_text.get(); }
    // The number of units, the final zeros included.
    int32_t getSize() const { return m_size; }
    EEncoding getEncoding() const { return m_encoding; }
    // The name of the file the text came from.
    const zu::core::CString& getFileName() const { return m_fileName; }

  private:
    std::unique_ptr<char16_t[]> m_text;
    int32_t m_size = 0;
    EEncoding m_encoding = ETE_BYTES;
    zu::core::CString m_fileName;
};

} // namespace kelvo::io
