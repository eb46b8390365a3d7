// Screenshots in the shared driver base: the pixels of a texture (or, in a
// drawing driver, of the back buffer) as RGB rows, written as a JPEG under
// the next free name of the form <folder><name or "Screen-"><seconds>-NN.jpg.
#include "video/null/CVideoNull.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "io/IWriteFile.h"
#include "video/ITexture.h"
#include "video/null/CImage.h"
#include "video/null/CImageWriterJPG.h"

using zu::core::CString;
using zu::core::ELL_INFORMATION;
using zu::core::SDimension2i;
using zu::core::zuLog;
using namespace zu::video;

namespace kelvo::video
{

// ---------------------------------------------------------------- screenshots

bool CVideoNull::readPixels(ITexture* texture, std::vector<uint8_t>& rgbRows, SDimension2i& size)
{
    if (!texture) return false;
    size = texture->getSize();
    const int32_t bytes = CImage::bitsPerPixelOf(texture->getColorFormat()) / 8;
    const int32_t pitch = texture->getPitch();
    if (size.width <= 0 || size.height <= 0 || bytes <= 0 || pitch < size.width * bytes)
        return false;
    const uint8_t* p = static_cast<const uint8_t*>(texture->lock());
    if (!p) return false;
    rgbRows.resize(size_t(size.width) * size_t(size.height) * 3);
    uint8_t* out = rgbRows.data();
    const ECOLOR_FORMAT format = texture->getColorFormat();
    for (int32_t y = 0; y < size.height; ++y)
        for (int32_t x = 0; x < size.width; ++x)
        {
            uint32_t c = CImage::decodePixel(
                p + size_t(y) * size_t(pitch) + size_t(x) * size_t(bytes), format);
            *out++ = uint8_t(c >> 16);
            *out++ = uint8_t(c >> 8);
            *out++ = uint8_t(c);
        }
    texture->unlock();
    return true;
}

bool CVideoNull::writeScreenshot(const CString& folder, const CString& name, ITexture* texture)
{
    std::vector<uint8_t> rows;
    SDimension2i size;
    if (!readPixels(texture, rows, size) || size.width <= 0 || size.height <= 0 ||
        rows.size() < size_t(size.width) * size_t(size.height) * 3)
        return false;
    return writeScreenshotFile(folder, name, rows.data(), size);
}

bool CVideoNull::writeScreenshotFile(const CString& folder, const CString& name,
                                     const uint8_t* rgbRows, SDimension2i size)
{
    if (!m_fileSystem || !rgbRows || size.width <= 0 || size.height <= 0) return false;
    const CString stem =
        folder + (name.empty() ? CString("Screen-") : name) + CString::fromInt(m_secondClock());
    // Bounded so a file system that reports every name as taken can't spin.
    for (int i = 0; i < 100000; ++i)
    {
        CString fileName = stem + (i <= 9 ? "-0" : "-") + CString::fromInt(i) + ".jpg";
        if (m_fileSystem->existFile(fileName)) continue;
        zu::io::IWriteFile* file = m_fileSystem->createAndWriteFile(fileName);
        if (!file) return false;
        bool written = CImageWriterJPG::writeImage(file, rgbRows, size.width, size.height, 100);
        file->drop();
        if (written) zuLog(ELL_INFORMATION, "Screenshot written: %s", fileName.c_str());
        return written;
    }
    return false;
}

} // namespace kelvo::video
