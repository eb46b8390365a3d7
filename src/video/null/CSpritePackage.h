// CSpritePackage: reads a sprite package file and hands out its pages,
// shared images and animation states.
//
// File layout (all integers 32-bit signed little-endian, strings end in a
// zero byte): a 28-byte header (version 0-4, pageSize, pagePixelFormat 0-3,
// page, image, bundle and animation counts); for version 4 the stored size of
// each page; the pages (raw planes, or zlib streams in version 4); then the
// image, bundle and animation records. Only the tables are read at load time;
// a page is read from the file again, by path, when something first needs its
// texture. Page textures are named "<page>#<file name>".
//
// Nothing in the file is trusted: every count, size and offset is checked
// against the bytes that are really there, and a file that fails a check is
// refused as a whole.
#pragma once

#include "video/ISpritePackage.h"
#include "video/null/SSpriteRecords.h"

#include <set>
#include <vector>

namespace zu::io
{
class IFileSystem;
}

namespace zu::video
{
class IImage;
class IVideoDriver;
} // namespace zu::video

namespace kelvo::video
{

class CSpriteAnimationImage;
class CSpriteAnimationImageBundle;
class CSpriteAnimationState;

class CSpritePackage : public zu::video::ISpritePackage
{
  public:
    using CString = zu::core::CString;

    // Pages are at most this many pixels square, so a page's byte size
    // (up to four bytes a pixel) always fits the image limits.
    static constexpr int32_t MAX_PAGE_SIZE = 8192;
    // Offsets, trims and original sizes beyond this are not real sprites.
    static constexpr int32_t MAX_COORDINATE = 1 << 24;
    static constexpr int32_t HEADER_SIZE = 28;

    // The file system reopens the file when a page is needed; neither it nor
    // the driver is owned, but the file system is grabbed.
    CSpritePackage(zu::video::IVideoDriver* driver, zu::io::IFileSystem* fileSystem,
                   bool keepStates);
    ~CSpritePackage() override;

    bool read(zu::io::IReadFile* file, const CString& path) override;

    void updateStates(float seconds) override;
    const std::vector<CString>& getPageNames() const override { return m_pageNames; }
    const std::vector<CString>& getAnimationNames() const override { return m_animationNames; }
    zu::video::ITexture* getTexture(const CString& name) override;
    zu::video::ITexture* getPageTexture(int32_t page) override;
    CString getTextureName(zu::video::ITexture* texture) const override;

    zu::video::ISpriteAnimationState* createState(int32_t animationId) override;
    zu::video::ISpriteAnimationState* createState(const CString& animationName) override;
    void removeState(zu::video::ISpriteAnimationState* state) override;
    bool hasAnimation(const CString& name) const override;

    zu::video::ISpriteAnimationImage* getImage(int32_t id) override;
    void releaseImage(zu::video::ISpriteAnimationImage* image) override;

    // Decodes page `page` from an open package file into a new A8R8G8B8
    // image (to drop); null when the bytes are short or do not inflate to
    // exactly one page.
    zu::video::IImage* createPageImage(zu::io::IReadFile* file, int32_t page) const;

    // The numeric id of an animation name: its decimal digits read as one
    // number, negative when the name starts with '-'; saturates.
    static int32_t animationIdOf(const CString& name);

    // The tables, for tools and tests.
    int32_t getVersion() const { return m_version; }
    int32_t getPageSize() const { return m_pageSize; }
    int32_t getPagePixelFormat() const { return m_pagePixelFormat; }
    int64_t getPageOffset(int32_t page) const;
    int64_t getTablesOffset() const { return m_tablesOffset; }
    const std::vector<SSpriteImageRecord>& getImages() const { return m_images; }
    const std::vector<SSpriteBundleRecord>& getBundles() const { return m_bundles; }
    const std::vector<SSpriteAnimationRecord>& getAnimations() const { return m_animations; }
    bool isPageLoaded(int32_t page) const;
    int32_t getKeptStateCount() const { return int32_t(m_keptStates.size()); }
    int32_t getLiveImageCount() const
    {
        return int32_t(m_liveImages.size() + m_liveBundles.size());
    }

    // Called by a state being destroyed, so the package stops tracking it.
    void forgetState(CSpriteAnimationState* state);

  private:
    const SSpriteAnimationRecord* findAnimation(const CString& name) const;
    zu::video::ISpriteAnimationState* makeState(const SSpriteAnimationRecord& animation);
    zu::video::ITexture* loadPage(int32_t page);

    zu::video::IVideoDriver* m_driver;
    zu::io::IFileSystem* m_fileSystem;
    int32_t m_version = 0;
    int32_t m_pageSize = 0;
    int32_t m_pagePixelFormat = 0;
    int32_t m_pageCount = 0;
    std::vector<CString> m_pageNames;
    std::vector<bool> m_pageLoaded;
    uint32_t m_pageBytes = 0;
    bool m_compressed = false;
    std::vector<int32_t> m_pageStoredSizes;
    std::vector<int64_t> m_pageOffsets;
    int64_t m_tablesOffset = 0;
    CString m_path;
    std::vector<CString> m_animationNames;
    std::vector<SSpriteImageRecord> m_images;   // sorted by id
    std::vector<SSpriteBundleRecord> m_bundles; // sorted by id
    std::vector<SSpriteAnimationRecord> m_animations;
    // Indices of m_animations sorted by name, so name lookups are binary
    // searches even when a file stored the names out of order.
    std::vector<size_t> m_animationsByName;
    // States this package keeps (one reference each) and advances.
    std::vector<CSpriteAnimationState*> m_keptStates;
    // Every state made here that still exists, kept or not: they are cut
    // loose when the package goes, so none is left pointing at it.
    std::set<CSpriteAnimationState*> m_liveStates;
    // Image and bundle objects handed out, each list sorted by id.
    std::vector<CSpriteAnimationImage*> m_liveImages;
    std::vector<CSpriteAnimationImageBundle*> m_liveBundles;
    bool m_keepStates;
};

} // namespace kelvo::video
