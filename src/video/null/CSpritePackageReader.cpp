#include "video/null/CSpritePackageReader.h"

#include "core/ByteOrder.h"
#include "io/IReadFile.h"
#include "video/SpritePackageFormat.h"
#include "video/null/CByteCursor.h"
#include "video/null/CImage.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>

using zu::core::CString;
using namespace zu::video;
using namespace zu::video::spritefile;

namespace kelvo::video
{

namespace
{

int32_t le32(const uint8_t* p) { return int32_t(zu::core::readLE32(p)); }

bool isCoordinate(int32_t value)
{
    return value >= -MAX_COORDINATE && value <= MAX_COORDINATE;
}

// A span [start, start + length) that lies on a page.
bool isOnPage(int32_t start, int32_t length, int32_t pageSize)
{
    return start >= 0 && length >= 0 && int64_t(start) + length <= pageSize;
}

// Reads the fields an image record and a bundle record share at their start.
bool readPlacement(CByteCursor& in, int32_t version, int32_t& id, SPosition2i& offset,
                   SPosition2i& originalOffset)
{
    CString name;
    int32_t x, y, trimX = 0, trimY = 0;
    if (!in.readString(name) || !in.readInt(id) || !in.readInt(x) || !in.readInt(y)) return false;
    if (hasTrim(version) && (!in.readInt(trimX) || !in.readInt(trimY))) return false;
    if (!isCoordinate(x) || !isCoordinate(y) || !isCoordinate(trimX) || !isCoordinate(trimY))
        return false;
    originalOffset = {x, y};
    offset = {x + trimX, y + trimY};
    return true;
}

bool readImageRecord(CByteCursor& in, int32_t version, int32_t pageSize,
                     SSpriteImageRecord& record)
{
    int32_t x, y, width, height;
    if (!readPlacement(in, version, record.id, record.offset, record.originalOffset) ||
        !in.readInt(record.page) || !in.readInt(x) || !in.readInt(y) || !in.readInt(width) ||
        !in.readInt(height))
        return false;
    if (!isOnPage(x, width, pageSize) || !isOnPage(y, height, pageSize)) return false;
    record.sourceRect = {x, y, x + width, y + height};
    record.originalSize = {width, height};
    if (hasOriginalSize(version))
    {
        int32_t originalWidth, originalHeight;
        if (!in.readInt(originalWidth) || !in.readInt(originalHeight)) return false;
        if (originalWidth < 0 || originalHeight < 0 || originalWidth > MAX_COORDINATE ||
            originalHeight > MAX_COORDINATE)
            return false;
        record.originalSize = {originalWidth, originalHeight};
    }
    return true;
}

bool readBundleRecord(CByteCursor& in, int32_t version, int32_t pageSize,
                      SSpriteBundleRecord& record)
{
    int32_t partCount;
    if (!readPlacement(in, version, record.id, record.offset, record.originalOffset) ||
        !in.readInt(record.columns) || !in.readInt(partCount))
        return false;
    // A bundle needs a whole first row: its size is measured from it.
    if (record.id < FIRST_BUNDLE_ID || record.columns <= 0 || partCount < record.columns ||
        !in.canHold(partCount, MIN_IMAGE_RECORD_BYTES))
        return false;
    record.parts.resize(size_t(partCount));
    for (SSpriteImageRecord& part : record.parts)
        if (!readImageRecord(in, version, pageSize, part)) return false;
    return true;
}

bool readAnimationRecord(CByteCursor& in, SSpriteAnimationRecord& record)
{
    int32_t frameCount;
    if (!in.readString(record.name) || !in.readInt(frameCount) ||
        !in.canHold(frameCount, FRAME_BYTES))
        return false;
    record.id = CSpritePackageReader::animationIdOf(record.name);
    for (std::vector<int32_t>* list : {&record.imageIds, &record.steps, &record.durations})
    {
        list->resize(size_t(frameCount));
        for (int32_t& value : *list)
            in.readInt(value); // the whole run was checked above
    }
    return true;
}

} // namespace

bool CSpritePackageReader::read(zu::io::IReadFile* file, SSpritePackageTables& tables)
{
    if (!file || !file->seek(0)) return false;
    const int64_t fileSize = file->getSize();
    uint8_t header[HEADER_SIZE];
    if (file->read(header, HEADER_SIZE) != HEADER_SIZE) return false;
    auto field = [&header](EHeaderField f) { return le32(header + f * INT_BYTES); };
    const int32_t version = field(HEADER_VERSION);
    const int32_t pageSize = field(HEADER_PAGE_SIZE);
    const int32_t pixelFormat = field(HEADER_PAGE_PIXEL_FORMAT);
    const int32_t pageCount = field(HEADER_PAGE_COUNT);
    const int32_t imageCount = field(HEADER_IMAGE_COUNT);
    const int32_t bundleCount = field(HEADER_BUNDLE_COUNT);
    const int32_t animationCount = field(HEADER_ANIMATION_COUNT);
    if (!isVersion(version) || !isPagePixelFormat(pixelFormat) || pageCount < 0 || imageCount < 0 ||
        bundleCount < 0 || animationCount < 0)
        return false;
    if (pageSize < (pageCount > 0 ? 1 : 0) || pageSize > MAX_PAGE_SIZE) return false;
    const uint32_t pageBytes = uint32_t(pageByteSize(pageSize, pixelFormat));

    // Where the pages end and the tables begin; the pages must be there.
    std::vector<int32_t> storedSizes;
    std::vector<int64_t> pageOffsets;
    int64_t tablesOffset = HEADER_SIZE;
    if (isCompressed(version))
    {
        if (int64_t(pageCount) * INT_BYTES > fileSize - HEADER_SIZE) return false;
        std::vector<uint8_t> sizes(size_t(pageCount) * INT_BYTES);
        if (!sizes.empty() &&
            file->read(sizes.data(), uint32_t(sizes.size())) != int32_t(sizes.size()))
            return false;
        tablesOffset += int64_t(pageCount) * INT_BYTES;
        for (int32_t j = 0; j < pageCount; ++j)
        {
            const int32_t stored = le32(sizes.data() + INT_BYTES * j);
            if (stored < 0) return false;
            storedSizes.push_back(stored);
            pageOffsets.push_back(tablesOffset);
            tablesOffset += stored;
        }
    }
    else
    {
        tablesOffset += int64_t(pageCount) * pageBytes;
    }
    if (tablesOffset > fileSize || !file->seek(int32_t(tablesOffset))) return false;
    std::vector<uint8_t> bytes(size_t(fileSize - tablesOffset));
    if (!bytes.empty() && file->read(bytes.data(), uint32_t(bytes.size())) != int32_t(bytes.size()))
        return false;

    CByteCursor in(bytes);
    if (!in.canHold(imageCount, MIN_IMAGE_RECORD_BYTES)) return false;
    std::vector<SSpriteImageRecord> images(static_cast<size_t>(imageCount));
    for (SSpriteImageRecord& image : images)
        if (!readImageRecord(in, version, pageSize, image) || image.id >= FIRST_BUNDLE_ID)
            return false;
    if (!in.canHold(bundleCount, MIN_BUNDLE_RECORD_BYTES)) return false;
    std::vector<SSpriteBundleRecord> bundles;
    for (int32_t i = 0; i < bundleCount; ++i)
    {
        SSpriteBundleRecord bundle;
        if (!readBundleRecord(in, version, pageSize, bundle)) return false;
        bundles.push_back(std::move(bundle));
    }
    if (!in.canHold(animationCount, MIN_ANIMATION_RECORD_BYTES)) return false;
    std::vector<SSpriteAnimationRecord> animations(static_cast<size_t>(animationCount));
    for (SSpriteAnimationRecord& animation : animations)
        if (!readAnimationRecord(in, animation)) return false;

    // Everything checked: take it.
    m_version = version;
    m_pageSize = pageSize;
    m_pagePixelFormat = pixelFormat;
    m_pageCount = pageCount;
    m_pageBytes = pageBytes;
    m_compressed = isCompressed(version);
    m_pageStoredSizes = std::move(storedSizes);
    m_pageOffsets = std::move(pageOffsets);
    m_tablesOffset = tablesOffset;
    tables.images = std::move(images);
    tables.bundles = std::move(bundles);
    tables.animations = std::move(animations);
    return true;
}

int32_t CSpritePackageReader::animationIdOf(const CString& name)
{
    int64_t value = 0;
    for (size_t i = 0; i < name.size(); ++i)
        if (name[i] >= '0' && name[i] <= '9')
            value = std::min<int64_t>(value * 10 + (name[i] - '0'), INT32_MAX);
    return !name.empty() && name[0] == '-' ? int32_t(-value) : int32_t(value);
}

int64_t CSpritePackageReader::getPageOffset(int32_t page) const
{
    if (page < 0 || page >= m_pageCount) return -1;
    if (m_compressed) return m_pageOffsets[size_t(page)];
    return HEADER_SIZE + int64_t(page) * m_pageBytes;
}

IImage* CSpritePackageReader::readPage(zu::io::IReadFile* file, int32_t page) const
{
    const int64_t offset = getPageOffset(page);
    if (!file || offset < 0 || offset > INT32_MAX || !file->seek(int32_t(offset))) return nullptr;
    std::vector<uint8_t> planes(m_pageBytes);
    if (m_compressed)
    {
        const int32_t stored = m_pageStoredSizes[size_t(page)];
        std::vector<uint8_t> packed(static_cast<size_t>(stored));
        if (stored > 0 && file->read(packed.data(), uint32_t(stored)) != stored) return nullptr;
        // The stream must inflate to exactly one page: not more, not less.
        uLongf length = planes.size();
        if (uncompress(planes.data(), &length, packed.data(), uLong(packed.size())) != Z_OK ||
            length != planes.size())
            return nullptr;
    }
    else if (m_pageBytes > 0 && file->read(planes.data(), m_pageBytes) != int32_t(m_pageBytes))
    {
        return nullptr;
    }

    CImage* image = new CImage(ECF_A8R8G8B8, {m_pageSize, m_pageSize});
    uint32_t* out = static_cast<uint32_t*>(image->lock());
    if (!out || image->getSize().width != m_pageSize)
    {
        image->drop();
        return nullptr;
    }
    const size_t count = size_t(m_pageSize) * size_t(m_pageSize);
    const uint8_t* p = planes.data();
    for (size_t i = 0; i < count; ++i)
    {
        uint32_t a = 255, r = 255, g = 255, b = 255;
        switch (m_pagePixelFormat)
        {
        case PAGE_RGB:
            r = p[i], g = p[count + i], b = p[2 * count + i];
            break;
        case PAGE_RGBA:
            r = p[i], g = p[count + i], b = p[2 * count + i], a = p[3 * count + i];
            break;
        case PAGE_ALPHA:
            a = p[i];
            break;
        default:
            if (isCompressed(m_version))
                a = p[i];
            else if (isPackedVisible(p[i]))
                a = unpackAlpha(p[i]);
            else
                a = r = g = b = 0;
            break;
        }
        out[i] = a << 24 | r << 16 | g << 8 | b;
    }
    image->unlock();
    return image;
}

} // namespace kelvo::video
