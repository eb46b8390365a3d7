#include "CSpriteWriter.h"

#include "core/ByteOrder.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace zu::video::spritefile;

namespace pellora::spritepack
{

namespace
{

constexpr int32_t kMaxImageSide = 32768;

// The visible rectangle of an image: what is stored of it.
struct STrimmed
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool bundle = false;
    int32_t columns = 1;
    std::vector<size_t> pieces; // indices into the piece list, row-major
};

// A rectangle of one image that goes onto a page: a whole trimmed image or
// one part of a bundle.
struct SPiece
{
    int image = 0;
    int32_t sourceX = 0;
    int32_t sourceY = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t page = 0;
    int32_t x = 0;
    int32_t y = 0;
};

class COutput
{
  public:
    explicit COutput(std::vector<uint8_t>& bytes) : m_bytes(bytes) {}
    void putInt(int32_t value)
    {
        uint8_t bytes[4];
        zu::core::writeLE32(bytes, uint32_t(value));
        m_bytes.insert(m_bytes.end(), bytes, bytes + 4);
    }
    void putString(const std::string& text)
    {
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        m_bytes.push_back(0);
    }
    void putBytes(const std::vector<uint8_t>& bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }

  private:
    std::vector<uint8_t>& m_bytes;
};

bool fail(std::string& error, const std::string& why)
{
    error = why;
    return false;
}

} // namespace

int CSpriteWriter::addImage(const uint8_t* rgba, int32_t width, int32_t height, int32_t hotspotX,
                            int32_t hotspotY, const std::string& name)
{
    if (!rgba || width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide ||
        hotspotX < -MAX_COORDINATE || hotspotX > MAX_COORDINATE || hotspotY < -MAX_COORDINATE ||
        hotspotY > MAX_COORDINATE || int32_t(m_images.size()) >= MAX_IMAGES ||
        name.find('\0') != std::string::npos)
        return -1;
    SImage image;
    image.name = name;
    image.width = width;
    image.height = height;
    image.hotspotX = hotspotX;
    image.hotspotY = hotspotY;
    image.rgba.assign(rgba, rgba + size_t(width) * size_t(height) * 4);
    m_images.push_back(std::move(image));
    return int(m_images.size()) - 1;
}

bool CSpriteWriter::addAnimation(const std::string& name, const std::vector<SFrame>& frames)
{
    if (name.empty() || name.find('\0') != std::string::npos) return false;
    for (const SAnimation& animation : m_animations)
        if (animation.name == name) return false;
    for (const SFrame& frame : frames)
        if (frame.image < 0 || frame.image >= int(m_images.size())) return false;
    m_animations.push_back({name, frames});
    return true;
}

bool CSpriteWriter::write(int32_t version, std::vector<uint8_t>& out, std::string& error) const
{
    out.clear();
    if (!isVersion(version))
        return fail(error, "the version must be " + std::to_string(OLDEST_VERSION) + " to " +
                               std::to_string(NEWEST_VERSION));
    if (m_pageSize < 0 || m_pageSize > MAX_PAGE_SIZE)
        return fail(error, "the page size must be 1 to " + std::to_string(MAX_PAGE_SIZE));
    if (m_pixelFormat != AUTO_FORMAT && !isPagePixelFormat(m_pixelFormat))
        return fail(error,
                    "the pixel format must be 0 to " + std::to_string(PAGE_PIXEL_FORMAT_COUNT - 1));

    // Trim every image to its visible pixels (a wholly transparent image
    // keeps one pixel).
    std::vector<STrimmed> trimmed(m_images.size());
    for (size_t i = 0; i < m_images.size(); ++i)
    {
        const SImage& image = m_images[i];
        STrimmed& t = trimmed[i];
        t.width = image.width;
        t.height = image.height;
        if (!m_trim) continue;
        int32_t left = image.width, top = image.height, right = -1, bottom = -1;
        for (int32_t y = 0; y < image.height; ++y)
            for (int32_t x = 0; x < image.width; ++x)
                if (image.rgba[(size_t(y) * size_t(image.width) + size_t(x)) * 4 + 3] != 0)
                {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        if (right < 0) left = top = right = bottom = 0;
        t.x = left;
        t.y = top;
        t.width = right - left + 1;
        t.height = bottom - top + 1;
    }

    // The page size: given, or the smallest power of two that holds the
    // largest image and, roughly, all of them.
    int32_t pageSize = m_pageSize;
    if (pageSize == 0)
    {
        int32_t largest = 1;
        int64_t area = 0;
        for (const STrimmed& t : trimmed)
        {
            largest = std::max({largest, t.width, t.height});
            area += int64_t(t.width + m_padding) * (t.height + m_padding);
        }
        pageSize = 1;
        while ((pageSize < largest || int64_t(pageSize) * pageSize < area) &&
               pageSize < MAX_CHOSEN_PAGE_SIZE)
            pageSize *= 2;
    }

    // Pieces: whole images, or page-sized parts of the larger ones.
    std::vector<SPiece> pieces;
    for (size_t i = 0; i < trimmed.size(); ++i)
    {
        STrimmed& t = trimmed[i];
        t.bundle = t.width > pageSize || t.height > pageSize;
        t.columns = (t.width + pageSize - 1) / pageSize;
        for (int32_t y = 0; y < t.height; y += pageSize)
            for (int32_t x = 0; x < t.width; x += pageSize)
            {
                SPiece piece;
                piece.image = int(i);
                piece.sourceX = t.x + x;
                piece.sourceY = t.y + y;
                piece.width = std::min(pageSize, t.width - x);
                piece.height = std::min(pageSize, t.height - y);
                t.pieces.push_back(pieces.size());
                pieces.push_back(piece);
            }
    }

    // Shelf packing, tallest first.
    std::vector<size_t> order(pieces.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b)
                     {
                         if (pieces[a].height != pieces[b].height)
                             return pieces[a].height > pieces[b].height;
                         return pieces[a].width > pieces[b].width;
                     });
    int32_t page = 0, x = 0, y = 0, shelf = 0;
    bool pageUsed = false;
    for (size_t index : order)
    {
        SPiece& piece = pieces[index];
        if (pageUsed && int64_t(x) + piece.width > pageSize)
        {
            x = 0;
            y += shelf + m_padding;
            shelf = 0;
        }
        if (pageUsed && int64_t(y) + piece.height > pageSize)
        {
            ++page;
            x = y = shelf = 0;
        }
        piece.page = page;
        piece.x = x;
        piece.y = y;
        pageUsed = true;
        x += piece.width + m_padding;
        shelf = std::max(shelf, piece.height);
    }
    const int32_t pageCount = pieces.empty() ? 0 : page + 1;

    // The pixel format.
    int32_t format = m_pixelFormat;
    if (format == AUTO_FORMAT)
    {
        bool opaque = true, white = true;
        for (const SPiece& piece : pieces)
        {
            const SImage& image = m_images[size_t(piece.image)];
            for (int32_t py = 0; py < piece.height; ++py)
                for (int32_t px = 0; px < piece.width; ++px)
                {
                    const uint8_t* p =
                        &image.rgba[(size_t(piece.sourceY + py) * size_t(image.width) +
                                     size_t(piece.sourceX + px)) *
                                    4];
                    opaque = opaque && p[3] == 255;
                    white = white && (p[3] == 0 || (p[0] == 255 && p[1] == 255 && p[2] == 255));
                }
        }
        format = opaque ? PAGE_RGB : white ? PAGE_ALPHA : PAGE_RGBA;
    }

    // The pages as planes.
    const size_t planeSize = size_t(pageSize) * size_t(pageSize);
    const size_t pageBytes = size_t(pageByteSize(pageSize, format));
    if (uint64_t(pageBytes) * uint64_t(pageCount) > uint64_t(INT32_MAX))
        return fail(error, "the package would be larger than 2 GiB");
    std::vector<std::vector<uint8_t>> pages(size_t(pageCount), std::vector<uint8_t>(pageBytes, 0));
    for (const SPiece& piece : pieces)
    {
        const SImage& image = m_images[size_t(piece.image)];
        std::vector<uint8_t>& planes = pages[size_t(piece.page)];
        for (int32_t py = 0; py < piece.height; ++py)
            for (int32_t px = 0; px < piece.width; ++px)
            {
                const uint8_t* p = &image.rgba[(size_t(piece.sourceY + py) * size_t(image.width) +
                                                size_t(piece.sourceX + px)) *
                                               4];
                const size_t at = size_t(piece.y + py) * size_t(pageSize) + size_t(piece.x + px);
                switch (format)
                {
                case PAGE_RGB:
                case PAGE_RGBA:
                    for (uint32_t c = 0; c < pagePlaneCount(format); ++c)
                        planes[c * planeSize + at] = p[c];
                    break;
                case PAGE_ALPHA:
                    planes[at] = p[3];
                    break;
                default:
                    planes[at] = isCompressed(version) ? p[3] : packAlpha(p[3]);
                    break;
                }
            }
    }
    if (isCompressed(version))
    {
        for (std::vector<uint8_t>& planes : pages)
        {
            uLongf length = compressBound(uLong(planes.size()));
            std::vector<uint8_t> packed(length);
            if (compress2(packed.data(), &length, planes.data(), uLong(planes.size()), 6) != Z_OK)
                return fail(error, "a page could not be compressed");
            packed.resize(length);
            planes.swap(packed);
        }
    }

    // Which images went whole onto a page and which became bundles.
    std::vector<size_t> plain, bundles;
    for (size_t i = 0; i < trimmed.size(); ++i)
        (trimmed[i].bundle ? bundles : plain).push_back(i);
    std::vector<const SAnimation*> animations;
    for (const SAnimation& animation : m_animations)
        animations.push_back(&animation);
    // Readers find animations by binary search over the names' bytes.
    std::sort(animations.begin(), animations.end(),
              [](const SAnimation* a, const SAnimation* b) { return a->name < b->name; });

    COutput file(out);
    int32_t header[HEADER_FIELD_COUNT];
    header[HEADER_VERSION] = version;
    header[HEADER_PAGE_SIZE] = pageSize;
    header[HEADER_PAGE_PIXEL_FORMAT] = format;
    header[HEADER_PAGE_COUNT] = pageCount;
    header[HEADER_IMAGE_COUNT] = int32_t(plain.size());
    header[HEADER_BUNDLE_COUNT] = int32_t(bundles.size());
    header[HEADER_ANIMATION_COUNT] = int32_t(animations.size());
    for (int32_t value : header)
        file.putInt(value);
    if (isCompressed(version))
        for (const std::vector<uint8_t>& planes : pages)
            file.putInt(int32_t(planes.size()));
    for (const std::vector<uint8_t>& planes : pages)
        file.putBytes(planes);

    // Offsets: before the trim has fields of its own it is folded into them.
    auto putPlacement = [&](const std::string& name, int32_t id, int32_t offsetX, int32_t offsetY,
                            int32_t trimX, int32_t trimY)
    {
        file.putString(name);
        file.putInt(id);
        if (hasTrim(version))
        {
            file.putInt(offsetX);
            file.putInt(offsetY);
            file.putInt(trimX);
            file.putInt(trimY);
        }
        else
        {
            file.putInt(offsetX + trimX);
            file.putInt(offsetY + trimY);
        }
    };
    auto putOnPage = [&](const SPiece& piece, int32_t originalWidth, int32_t originalHeight)
    {
        file.putInt(piece.page);
        file.putInt(piece.x);
        file.putInt(piece.y);
        file.putInt(piece.width);
        file.putInt(piece.height);
        if (hasOriginalSize(version))
        {
            file.putInt(originalWidth);
            file.putInt(originalHeight);
        }
    };
    for (size_t i : plain)
    {
        const SImage& image = m_images[i];
        const STrimmed& t = trimmed[i];
        putPlacement(image.name, int32_t(i), -image.hotspotX, -image.hotspotY, t.x, t.y);
        putOnPage(pieces[t.pieces.front()], image.width, image.height);
    }
    for (size_t i : bundles)
    {
        const SImage& image = m_images[i];
        const STrimmed& t = trimmed[i];
        putPlacement(image.name, FIRST_BUNDLE_ID + int32_t(i), -image.hotspotX, -image.hotspotY,
                     t.x, t.y);
        file.putInt(t.columns);
        file.putInt(int32_t(t.pieces.size()));
        for (size_t k = 0; k < t.pieces.size(); ++k)
        {
            const SPiece& piece = pieces[t.pieces[k]];
            putPlacement(image.name + "#" + std::to_string(k), int32_t(k), 0, 0, 0, 0);
            putOnPage(piece, piece.width, piece.height);
        }
    }
    for (const SAnimation* animation : animations)
    {
        file.putString(animation->name);
        file.putInt(int32_t(animation->frames.size()));
        for (const SFrame& frame : animation->frames)
            file.putInt(trimmed[size_t(frame.image)].bundle ? FIRST_BUNDLE_ID + frame.image
                                                            : frame.image);
        for (const SFrame& frame : animation->frames)
            file.putInt(frame.step);
        for (const SFrame& frame : animation->frames)
            file.putInt(frame.duration);
    }
    if (out.size() > size_t(INT32_MAX))
    {
        out.clear();
        return fail(error, "the package would be larger than 2 GiB");
    }
    return true;
}

bool CSpriteWriter::writeFile(const std::string& path, int32_t version, std::string& error) const
{
    std::vector<uint8_t> bytes;
    if (!write(version, bytes, error)) return false;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return fail(error, "cannot create " + path);
    const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (fclose(file) != 0 || !written) return fail(error, "cannot write " + path);
    return true;
}

} // namespace pellora::spritepack
