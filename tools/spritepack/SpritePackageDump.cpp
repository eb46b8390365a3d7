#include "SpritePackageDump.h"

#include "core/ByteOrder.h"
#include "video/SpritePackageFormat.h"

#include <zlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

using namespace zu::video::spritefile;

namespace pellora::spritepack
{

namespace
{

const char* const kFormatNames[PAGE_PIXEL_FORMAT_COUNT] = {"red, green, blue planes",
                                                           "red, green, blue, alpha planes",
                                                           "alpha plane, white", "packed alpha"};

class CDumper
{
  public:
    CDumper(const std::vector<uint8_t>& bytes, std::string& text) : m_bytes(bytes), m_text(text) {}

    void line(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        char buffer[1024];
        va_list args;
        va_start(args, format);
        vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        m_text += buffer;
        m_text += '\n';
    }

    bool readInt(int32_t& value)
    {
        if (m_bytes.size() - m_pos < INT_BYTES) return stop("a number");
        const uint8_t* p = m_bytes.data() + m_pos;
        value = int32_t(zu::core::readLE32(p));
        m_pos += INT_BYTES;
        return true;
    }

    bool readString(std::string& text)
    {
        const uint8_t* start = m_bytes.data() + m_pos;
        const void* end = memchr(start, 0, m_bytes.size() - m_pos);
        if (!end) return stop("a name");
        text.assign(reinterpret_cast<const char*>(start),
                    size_t(static_cast<const uint8_t*>(end) - start));
        m_pos += text.size() + 1;
        return true;
    }

    bool stop(const char* what)
    {
        line("cut short: %s expected at byte %zu of %zu", what, m_pos, m_bytes.size());
        return false;
    }

    // Reads one image record (of an image or a bundle part) and prints it.
    bool image(int32_t version, const char* indent)
    {
        std::string name;
        int32_t id, x, y, trimX = 0, trimY = 0, page, px, py, w, h;
        if (!readString(name) || !readInt(id) || !readInt(x) || !readInt(y)) return false;
        if (hasTrim(version) && (!readInt(trimX) || !readInt(trimY))) return false;
        if (!readInt(page) || !readInt(px) || !readInt(py) || !readInt(w) || !readInt(h))
            return false;
        int32_t ow = w, oh = h;
        if (hasOriginalSize(version) && (!readInt(ow) || !readInt(oh))) return false;
        line("%sid %d \"%s\": offset (%d, %d), trim (%d, %d), page %d at (%d, %d), size %d x %d, "
             "original size %d x %d",
             indent, id, name.c_str(), x, y, trimX, trimY, page, px, py, w, h, ow, oh);
        return true;
    }

    bool run()
    {
        int32_t header[HEADER_FIELD_COUNT];
        for (int32_t& value : header)
            if (!readInt(value)) return false;
        const int32_t version = header[HEADER_VERSION], pageSize = header[HEADER_PAGE_SIZE],
                      format = header[HEADER_PAGE_PIXEL_FORMAT];
        const int32_t pages = header[HEADER_PAGE_COUNT], images = header[HEADER_IMAGE_COUNT],
                      bundles = header[HEADER_BUNDLE_COUNT],
                      animations = header[HEADER_ANIMATION_COUNT];
        line("version %d", version);
        line("pages: %d of %d x %d pixels, pixel format %d (%s)", pages, pageSize, pageSize, format,
             isPagePixelFormat(format) ? kFormatNames[format] : "unknown");
        line("images: %d, bundles: %d, animations: %d", images, bundles, animations);
        if (!isVersion(version) || !isPagePixelFormat(format) || pages < 0 || pageSize < 0 ||
            pageSize > MAX_PAGE_SIZE || images < 0 || bundles < 0 || animations < 0)
            return stop("a valid header");

        const uint64_t planeSize = uint64_t(pageSize) * uint64_t(pageSize);
        const uint64_t pageBytes = pageByteSize(pageSize, format);
        // Each page takes at least its size word (compressed) or its pixels, so a
        // page count the rest of the file cannot hold is refused before the table
        // is made.
        const uint64_t leastPerPage =
            isCompressed(version) ? INT_BYTES : std::max<uint64_t>(pageBytes, 1);
        if (uint64_t(pages) > (m_bytes.size() - m_pos) / leastPerPage) return stop("page data");
        std::vector<int32_t> stored(static_cast<size_t>(pages), static_cast<int32_t>(pageBytes));
        if (isCompressed(version))
            for (int32_t& size : stored)
                if (!readInt(size)) return false;
        m_text += '\n';
        line("pages");
        for (int32_t j = 0; j < pages; ++j)
        {
            if (stored[size_t(j)] < 0 || uint64_t(stored[size_t(j)]) > m_bytes.size() - m_pos)
                return stop("page data");
            const uint8_t* planes = m_bytes.data() + m_pos;
            std::vector<uint8_t> inflated;
            const char* note = "";
            if (isCompressed(version))
            {
                inflated.resize(pageBytes);
                uLongf length = uLongf(pageBytes);
                planes = inflated.data();
                if (uncompress(inflated.data(), &length, m_bytes.data() + m_pos,
                               uLong(stored[size_t(j)])) != Z_OK ||
                    length != pageBytes)
                {
                    planes = nullptr;
                    note = ", does not inflate to one page";
                }
            }
            // A visible pixel: any colour in format 0, else a non-zero alpha.
            uint64_t visible = 0;
            for (uint64_t i = 0; i < planeSize && planes; ++i)
            {
                if (format == PAGE_RGB)
                    visible += planes[i] || planes[planeSize + i] || planes[2 * planeSize + i];
                else if (format == PAGE_RGBA)
                    visible += planes[3 * planeSize + i] != 0;
                else if (format == PAGE_PACKED_ALPHA && !isCompressed(version))
                    visible += isPackedVisible(planes[i]);
                else
                    visible += planes[i] != 0;
            }
            line("  page %d: at byte %zu, %d bytes stored%s, %llu pixels visible", j, m_pos,
                 stored[size_t(j)], note, (unsigned long long)visible);
            m_pos += size_t(stored[size_t(j)]);
        }

        m_text += '\n';
        line("images");
        for (int32_t i = 0; i < images; ++i)
            if (!image(version, "  ")) return false;

        m_text += '\n';
        line("bundles");
        for (int32_t i = 0; i < bundles; ++i)
        {
            std::string name;
            int32_t id, x, y, trimX = 0, trimY = 0, columns, parts;
            if (!readString(name) || !readInt(id) || !readInt(x) || !readInt(y)) return false;
            if (hasTrim(version) && (!readInt(trimX) || !readInt(trimY))) return false;
            if (!readInt(columns) || !readInt(parts)) return false;
            line("  id %d \"%s\": offset (%d, %d), trim (%d, %d), %d parts in %d columns", id,
                 name.c_str(), x, y, trimX, trimY, parts, columns);
            for (int32_t k = 0; k < parts; ++k)
                if (!image(version, "    part: ")) return false;
        }

        m_text += '\n';
        line("animations");
        for (int32_t i = 0; i < animations; ++i)
        {
            std::string name;
            int32_t frames;
            if (!readString(name) || !readInt(frames)) return false;
            if (frames < 0 || uint64_t(frames) * FRAME_BYTES > m_bytes.size() - m_pos)
                return stop("the frames of an animation");
            std::vector<int32_t> values(size_t(frames) * FRAME_INTS);
            for (int32_t& value : values)
                readInt(value);
            line("  \"%s\": %d frames", name.c_str(), frames);
            for (int32_t f = 0; f < frames; ++f)
            {
                const int32_t duration = values[size_t(2 * frames + f)];
                char time[32];
                if (duration < 0)
                    snprintf(time, sizeof time, "forever");
                else
                    snprintf(time, sizeof time, "%d ms", duration);
                line("    frame %d: image %d, %s, step %+d", f, values[size_t(f)], time,
                     values[size_t(frames + f)]);
            }
        }
        if (m_pos != m_bytes.size()) line("%zu bytes follow the tables", m_bytes.size() - m_pos);
        return true;
    }

  private:
    const std::vector<uint8_t>& m_bytes;
    std::string& m_text;
    size_t m_pos = 0;
};

} // namespace

bool dumpSpritePackage(const std::vector<uint8_t>& bytes, std::string& text)
{
    CDumper dumper(bytes, text);
    return dumper.run();
}

} // namespace pellora::spritepack
