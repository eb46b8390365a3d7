// CImageLoader: the part every image loader shares, so that a loader differs
// from the others only in decoding. The name test looks for the format's
// extension anywhere in the name (a case-sensitive substring test); the
// content test compares the format's signature bytes; load() takes the whole
// file into memory and refuses, with the format's own message, a file that
// can't be read or is shorter than the format's header, so decode() only ever
// sees bytes that really exist.
#pragma once

#include "video/IImageLoader.h"

#include <cstddef>
#include <cstdint>

namespace kelvo::video
{

class CImageLoader : public zu::video::IImageLoader
{
  public:
    bool acceptsName(const zu::core::CString& fileName) const final;
    bool acceptsContent(zu::io::IReadFile* file) const final;
    zu::video::IImage* load(zu::io::IReadFile* file) const final;

  protected:
    // What a loader tells its base about its format.
    struct SFormat
    {
        const char* extension;        // ".bmp"
        size_t signatureOffset;       // where the content test looks
        const char* signature;        // for these bytes (none of them zero)
        size_t minimumBytes;          // the fewest bytes a file of the format holds
        const char* shortFileMessage; // logged after the file's name when it has fewer
    };

    explicit CImageLoader(const SFormat& format) : m_format(format) {}

    // An image (to drop) from the file's size bytes, at least minimumBytes of
    // them, or null; name is the file's name for messages.
    virtual zu::video::IImage* decode(const char* name, const uint8_t* bytes,
                                      size_t size) const = 0;

  private:
    SFormat m_format;
};

} // namespace kelvo::video
