#include "video/null/CSpritePackage.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"
#include "video/ITexture.h"
#include "video/IVideoDriver.h"
#include "video/null/CImage.h"
#include "video/null/CSpriteAnimationImage.h"
#include "video/null/CSpriteAnimationImageBundle.h"
#include "video/null/CSpriteAnimationState.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>

using zu::core::CString;
using zu::core::ELL_ERROR;
using zu::core::ELL_WARNING;
using zu::core::zuLog;
using namespace zu::video;

namespace kelvo::video
{

namespace
{

// The smallest records, to bound every count by the bytes left before
// anything is allocated for it.
constexpr size_t kMinImageRecord = 1 + 8 * 4;  // name, id, offset, page, rectangle
constexpr size_t kMinBundleRecord = 1 + 5 * 4; // name, id, offset, columns, partCount
constexpr size_t kMinAnimationRecord = 1 + 4;  // name, frameCount
constexpr size_t kFrameBytes = 3 * 4;          // id, step, duration

int32_t le32(const uint8_t* p)
{
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                   uint32_t(p[3]) << 24);
}

// A cursor over the tables read into memory. Every read says whether the
// bytes were there.
class CTableCursor
{
  public:
    CTableCursor(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}

    size_t left() const { return m_bytes.size() - m_pos; }

    bool readInt(int32_t& value)
    {
        if (left() < 4) return false;
        value = le32(m_bytes.data() + m_pos);
        m_pos += 4;
        return true;
    }

    bool readString(CString& text)
    {
        const uint8_t* start = m_bytes.data() + m_pos;
        const void* end = memchr(start, 0, left());
        if (!end) return false;
        const size_t length = size_t(static_cast<const uint8_t*>(end) - start);
        text = CString(reinterpret_cast<const char*>(start), length);
        m_pos += length + 1;
        return true;
    }

    // Whether count records of at least recordSize bytes can still follow.
    bool canHold(int32_t count, size_t recordSize) const
    {
        return count >= 0 && uint64_t(count) * recordSize <= left();
    }

  private:
    const std::vector<uint8_t>& m_bytes;
    size_t m_pos = 0;
};

bool isCoordinate(int32_t value)
{
    return value >= -CSpritePackage::MAX_COORDINATE && value <= CSpritePackage::MAX_COORDINATE;
}

// A span [start, start + length) that lies on a page.
bool isOnPage(int32_t start, int32_t length, int32_t pageSize)
{
    return start >= 0 && length >= 0 && int64_t(start) + length <= pageSize;
}

// Reads the fields an image record and a bundle record share at their start.
bool readPlacement(CTableCursor& in, int32_t version, int32_t& id, SPosition2i& offset,
                   SPosition2i& originalOffset)
{
    CString name;
    int32_t x, y, trimX = 0, trimY = 0;
    if (!in.readString(name) || !in.readInt(id) || !in.readInt(x) || !in.readInt(y)) return false;
    if (version >= 2 && (!in.readInt(trimX) || !in.readInt(trimY))) return false;
    if (!isCoordinate(x) || !isCoordinate(y) || !isCoordinate(trimX) || !isCoordinate(trimY))
        return false;
    originalOffset = {x, y};
    offset = {x + trimX, y + trimY};
    return true;
}

bool readImageRecord(CTableCursor& in, int32_t version, int32_t pageSize,
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
    if (version >= 3)
    {
        int32_t originalWidth, originalHeight;
        if (!in.readInt(originalWidth) || !in.readInt(originalHeight)) return false;
        if (originalWidth < 0 || originalHeight < 0 ||
            originalWidth > CSpritePackage::MAX_COORDINATE ||
            originalHeight > CSpritePackage::MAX_COORDINATE)
            return false;
        record.originalSize = {originalWidth, originalHeight};
    }
    return true;
}

bool readBundleRecord(CTableCursor& in, int32_t version, int32_t pageSize,
                      SSpriteBundleRecord& record)
{
    int32_t partCount;
    if (!readPlacement(in, version, record.id, record.offset, record.originalOffset) ||
        !in.readInt(record.columns) || !in.readInt(partCount))
        return false;
    // A bundle needs a whole first row: its size is measured from it.
    if (record.id < ISpritePackage::FIRST_BUNDLE_ID || record.columns <= 0 ||
        partCount < record.columns || !in.canHold(partCount, kMinImageRecord))
        return false;
    record.parts.resize(size_t(partCount));
    for (SSpriteImageRecord& part : record.parts)
        if (!readImageRecord(in, version, pageSize, part)) return false;
    return true;
}

bool readAnimationRecord(CTableCursor& in, SSpriteAnimationRecord& record)
{
    int32_t frameCount;
    if (!in.readString(record.name) || !in.readInt(frameCount) ||
        !in.canHold(frameCount, kFrameBytes))
        return false;
    record.id = CSpritePackage::animationIdOf(record.name);
    for (std::vector<int32_t>* list : {&record.imageIds, &record.steps, &record.durations})
    {
        list->resize(size_t(frameCount));
        for (int32_t& value : *list)
            in.readInt(value); // the whole run was checked above
    }
    return true;
}

template <class Record> void sortById(std::vector<Record>& records)
{
    std::stable_sort(records.begin(), records.end(),
                     [](const Record& a, const Record& b) { return a.id < b.id; });
}

template <class Record> const Record* findById(const std::vector<Record>& records, int32_t id)
{
    auto it = std::lower_bound(records.begin(), records.end(), id,
                               [](const Record& r, int32_t key) { return r.id < key; });
    return it != records.end() && it->id == id ? &*it : nullptr;
}

// Live image objects, sorted by id.
template <class Image>
typename std::vector<Image*>::iterator findLive(std::vector<Image*>& images, int32_t id)
{
    auto it =
        std::lower_bound(images.begin(), images.end(), id,
                         [](const Image* image, int32_t key) { return image->getId() < key; });
    return it != images.end() && (*it)->getId() == id ? it : images.end();
}

uint32_t bytesPerPagePixel(int32_t pixelFormat)
{
    return pixelFormat == 0 ? 3 : pixelFormat == 1 ? 4 : 1;
}

} // namespace

CSpritePackage::CSpritePackage(IVideoDriver* driver, zu::io::IFileSystem* fileSystem,
                               bool keepStates)
    : m_driver(driver), m_fileSystem(fileSystem), m_keepStates(keepStates)
{
    if (m_fileSystem) m_fileSystem->grab();
}

CSpritePackage::~CSpritePackage()
{
    // States first, while the images they hand back still exist. Whoever
    // still holds a state keeps an empty one that draws nothing.
    const std::set<CSpriteAnimationState*> live = m_liveStates;
    m_liveStates.clear();
    for (CSpriteAnimationState* state : live)
        state->detach();
    for (CSpriteAnimationState* state : m_keptStates)
    {
        if (state->getReferenceCount() > 1)
            zuLog(ELL_WARNING, "A kept sprite state outlives its package: %s", m_path.c_str());
        state->drop();
    }
    m_keptStates.clear();

    // Images still in use elsewhere are cut loose the same way.
    for (CSpriteAnimationImage* image : m_liveImages)
        image->detach();
    for (CSpriteAnimationImageBundle* bundle : m_liveBundles)
        bundle->detach();
    m_liveImages.clear();
    m_liveBundles.clear();

    if (m_driver)
        for (const CString& name : m_pageNames)
            m_driver->removeTexture(name);
    if (m_fileSystem) m_fileSystem->drop();
}

bool CSpritePackage::read(zu::io::IReadFile* file, const CString& path)
{
    if (!file || !file->seek(0)) return false;
    const int64_t fileSize = file->getSize();
    uint8_t header[HEADER_SIZE];
    if (file->read(header, HEADER_SIZE) != HEADER_SIZE) return false;
    const int32_t version = le32(header);
    const int32_t pageSize = le32(header + 4);
    const int32_t pixelFormat = le32(header + 8);
    const int32_t pageCount = le32(header + 12);
    const int32_t imageCount = le32(header + 16);
    const int32_t bundleCount = le32(header + 20);
    const int32_t animationCount = le32(header + 24);
    if (version < 0 || version > 4 || pixelFormat < 0 || pixelFormat > 3 || pageCount < 0 ||
        imageCount < 0 || bundleCount < 0 || animationCount < 0)
        return false;
    if (pageSize < (pageCount > 0 ? 1 : 0) || pageSize > MAX_PAGE_SIZE) return false;
    const uint32_t pageBytes =
        uint32_t(pageSize) * uint32_t(pageSize) * bytesPerPagePixel(pixelFormat);

    // Where the pages end and the tables begin; the pages must be there.
    std::vector<int32_t> storedSizes;
    std::vector<int64_t> pageOffsets;
    int64_t tablesOffset = HEADER_SIZE;
    if (version == 4)
    {
        if (int64_t(pageCount) * 4 > fileSize - HEADER_SIZE) return false;
        std::vector<uint8_t> sizes(size_t(pageCount) * 4);
        if (!sizes.empty() &&
            file->read(sizes.data(), uint32_t(sizes.size())) != int32_t(sizes.size()))
            return false;
        tablesOffset += int64_t(pageCount) * 4;
        for (int32_t j = 0; j < pageCount; ++j)
        {
            const int32_t stored = le32(sizes.data() + 4 * j);
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
    std::vector<uint8_t> tables(size_t(fileSize - tablesOffset));
    if (!tables.empty() &&
        file->read(tables.data(), uint32_t(tables.size())) != int32_t(tables.size()))
        return false;

    CTableCursor in(tables);
    if (!in.canHold(imageCount, kMinImageRecord)) return false;
    std::vector<SSpriteImageRecord> images(static_cast<size_t>(imageCount));
    for (SSpriteImageRecord& image : images)
        if (!readImageRecord(in, version, pageSize, image) || image.id >= FIRST_BUNDLE_ID)
            return false;
    if (!in.canHold(bundleCount, kMinBundleRecord)) return false;
    std::vector<SSpriteBundleRecord> bundles;
    for (int32_t i = 0; i < bundleCount; ++i)
    {
        SSpriteBundleRecord bundle;
        if (!readBundleRecord(in, version, pageSize, bundle)) return false;
        bundles.push_back(std::move(bundle));
    }
    if (!in.canHold(animationCount, kMinAnimationRecord)) return false;
    std::vector<SSpriteAnimationRecord> animations(static_cast<size_t>(animationCount));
    for (SSpriteAnimationRecord& animation : animations)
        if (!readAnimationRecord(in, animation)) return false;

    // Everything checked: take it.
    m_version = version;
    m_pageSize = pageSize;
    m_pagePixelFormat = pixelFormat;
    m_pageCount = pageCount;
    m_pageBytes = pageBytes;
    m_compressed = version == 4;
    m_pageStoredSizes = std::move(storedSizes);
    m_pageOffsets = std::move(pageOffsets);
    m_tablesOffset = tablesOffset;
    m_path = path;
    m_pageNames.clear();
    for (int32_t j = 0; j < pageCount; ++j)
        m_pageNames.push_back(CString::fromInt(j) + "#" + file->getFileName());
    m_pageLoaded.assign(size_t(pageCount), false);
    m_images = std::move(images);
    sortById(m_images);
    m_bundles = std::move(bundles);
    sortById(m_bundles);
    m_animations = std::move(animations);
    m_animationNames.clear();
    m_animationsByName.clear();
    for (size_t i = 0; i < m_animations.size(); ++i)
    {
        m_animationNames.push_back(m_animations[i].name);
        m_animationsByName.push_back(i);
    }
    std::stable_sort(m_animationsByName.begin(), m_animationsByName.end(),
                     [this](size_t a, size_t b)
                     { return m_animations[a].name < m_animations[b].name; });
    return true;
}

int32_t CSpritePackage::animationIdOf(const CString& name)
{
    int64_t value = 0;
    for (size_t i = 0; i < name.size(); ++i)
        if (name[i] >= '0' && name[i] <= '9')
            value = std::min<int64_t>(value * 10 + (name[i] - '0'), INT32_MAX);
    return !name.empty() && name[0] == '-' ? int32_t(-value) : int32_t(value);
}

int64_t CSpritePackage::getPageOffset(int32_t page) const
{
    if (page < 0 || page >= m_pageCount) return -1;
    if (m_compressed) return m_pageOffsets[size_t(page)];
    return HEADER_SIZE + int64_t(page) * m_pageBytes;
}

bool CSpritePackage::isPageLoaded(int32_t page) const
{
    return page >= 0 && page < m_pageCount && m_pageLoaded[size_t(page)];
}

// ---------------------------------------------------------------- pages

IImage* CSpritePackage::createPageImage(zu::io::IReadFile* file, int32_t page) const
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
        case 0:
            r = p[i], g = p[count + i], b = p[2 * count + i];
            break;
        case 1:
            r = p[i], g = p[count + i], b = p[2 * count + i], a = p[3 * count + i];
            break;
        case 2:
            a = p[i];
            break;
        default:
            if (m_version == 4)
                a = p[i];
            else if (p[i] & 0x80)
                a = (uint32_t(p[i]) * 2) & 0xFF;
            else
                a = r = g = b = 0;
            break;
        }
        out[i] = a << 24 | r << 16 | g << 8 | b;
    }
    image->unlock();
    return image;
}

ITexture* CSpritePackage::loadPage(int32_t page)
{
    zu::io::IReadFile* file = m_fileSystem ? m_fileSystem->createAndOpenFile(m_path) : nullptr;
    if (!file) return nullptr;
    IImage* image = createPageImage(file, page);
    file->drop();
    if (!image)
    {
        zuLog(ELL_ERROR, "Could not read page %d of a sprite package: %s", int(page),
              m_path.c_str());
        return nullptr;
    }
    m_driver->setTextureFlag(
        m_pagePixelFormat == 0 ? ETCF_OPTIMIZED_FOR_SPEED : ETCF_OPTIMIZED_FOR_QUALITY, true);
    const CString& name = m_pageNames[size_t(page)];
    ITexture* texture = m_driver->addTexture(image, name);
    if (!texture) texture = m_driver->addTexture(image, name);
    image->drop();
    if (texture) m_pageLoaded[size_t(page)] = true;
    return texture;
}

ITexture* CSpritePackage::getPageTexture(int32_t page)
{
    if (!m_driver || page < 0 || page >= m_pageCount) return nullptr;
    // Made again if someone emptied the driver's cache in between.
    if (ITexture* texture = m_driver->findTexture(m_pageNames[size_t(page)])) return texture;
    return loadPage(page);
}

ITexture* CSpritePackage::getTexture(const CString& name)
{
    return m_driver ? m_driver->getTexture(name) : nullptr;
}

CString CSpritePackage::getTextureName(ITexture* tex) const
{
    if (!ZU_CHECK(tex)) return CString();
    return tex->getName();
}

// ---------------------------------------------------------------- states

const SSpriteAnimationRecord* CSpritePackage::findAnimation(const CString& name) const
{
    auto it = std::lower_bound(m_animationsByName.begin(), m_animationsByName.end(), name,
                               [this](size_t index, const CString& key)
                               { return m_animations[index].name < key; });
    if (it == m_animationsByName.end() || m_animations[*it].name != name) return nullptr;
    return &m_animations[*it];
}

bool CSpritePackage::hasAnimation(const CString& name) const
{
    return findAnimation(name) != nullptr;
}

ISpriteAnimationState* CSpritePackage::createState(int32_t animationId)
{
    for (const SSpriteAnimationRecord& animation : m_animations)
        if (animation.id == animationId) return makeState(animation);
    return nullptr;
}

ISpriteAnimationState* CSpritePackage::createState(const CString& animationName)
{
    const SSpriteAnimationRecord* animation = findAnimation(animationName);
    return animation ? makeState(*animation) : nullptr;
}

ISpriteAnimationState* CSpritePackage::makeState(const SSpriteAnimationRecord& animation)
{
    std::vector<ISpriteAnimationImage*> frames;
    for (int32_t id : animation.imageIds)
        if (ISpriteAnimationImage* image = getImage(id)) frames.push_back(image);
    CSpriteAnimationState* state = new CSpriteAnimationState(this, animation, std::move(frames));
    m_liveStates.insert(state);
    if (m_keepStates)
    {
        state->grab();
        m_keptStates.push_back(state);
    }
    return state;
}

void CSpritePackage::removeState(ISpriteAnimationState* state)
{
    if (!state) return;
    auto kept = std::find(m_keptStates.begin(), m_keptStates.end(), state);
    if (kept != m_keptStates.end())
    {
        m_keptStates.erase(kept);
        state->drop();
    }
    state->drop();
}

void CSpritePackage::forgetState(CSpriteAnimationState* state)
{
    m_liveStates.erase(state);
}

void CSpritePackage::updateStates(float seconds)
{
    for (CSpriteAnimationState* state : m_keptStates)
        state->update(seconds);
}

// ---------------------------------------------------------------- images

ISpriteAnimationImage* CSpritePackage::getImage(int32_t id)
{
    if (id < FIRST_BUNDLE_ID)
    {
        auto live = findLive(m_liveImages, id);
        if (live != m_liveImages.end())
        {
            (*live)->grab();
            return *live;
        }
        const SSpriteImageRecord* record = findById(m_images, id);
        if (!record) return nullptr;
        auto* image =
            new CSpriteAnimationImage(this, m_driver, *record, getPageTexture(record->page));
        m_liveImages.insert(
            std::upper_bound(m_liveImages.begin(), m_liveImages.end(), image,
                             [](const CSpriteAnimationImage* a, const CSpriteAnimationImage* b)
                             { return a->getId() < b->getId(); }),
            image);
        return image;
    }
    auto live = findLive(m_liveBundles, id);
    if (live != m_liveBundles.end())
    {
        (*live)->grab();
        return *live;
    }
    const SSpriteBundleRecord* record = findById(m_bundles, id);
    if (!record) return nullptr;
    auto* bundle = new CSpriteAnimationImageBundle(this, m_driver, *record);
    m_liveBundles.insert(std::upper_bound(m_liveBundles.begin(), m_liveBundles.end(), bundle,
                                          [](const CSpriteAnimationImageBundle* a,
                                             const CSpriteAnimationImageBundle* b)
                                          { return a->getId() < b->getId(); }),
                         bundle);
    return bundle;
}

void CSpritePackage::releaseImage(ISpriteAnimationImage* image)
{
    if (!image) return;
    // Only images handed out here count; the last use takes it off the list.
    auto forget = [image](auto& list)
    {
        auto it = findLive(list, image->getId());
        if (it == list.end() || *it != image) return false;
        if (image->getReferenceCount() == 1) list.erase(it);
        image->drop();
        return true;
    };
    if (image->getId() < FIRST_BUNDLE_ID)
        forget(m_liveImages);
    else
        forget(m_liveBundles);
}

} // namespace kelvo::video
