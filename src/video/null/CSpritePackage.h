// CSpritePackage: the runtime owner of one sprite package: its page textures,
// made on first use and removed from the driver with the package, its image
// and bundle records sorted by id with the shared image objects made from
// them, its animations (found by name or numeric id) and the states made from
// them, some of which it keeps and advances. The file itself is read by
// CSpritePackageReader: the tables at load time, a page again by path when
// something first needs its texture. Page textures are named
// "<page>#<file name>".
#pragma once

#include "video/ISpritePackage.h"
#include "video/null/CSpritePackageReader.h"
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
    zu::video::IImage* createPageImage(zu::io::IReadFile* file, int32_t page) const
    {
        return m_reader.readPage(file, page);
    }

    // The numeric id the reader gives an animation of that name.
    static int32_t animationIdOf(const CString& name)
    {
        return CSpritePackageReader::animationIdOf(name);
    }

    // The tables, for tools and tests.
    int32_t getVersion() const { return m_reader.getVersion(); }
    int32_t getPageSize() const { return m_reader.getPageSize(); }
    int32_t getPagePixelFormat() const { return m_reader.getPagePixelFormat(); }
    int64_t getPageOffset(int32_t page) const { return m_reader.getPageOffset(page); }
    int64_t getTablesOffset() const { return m_reader.getTablesOffset(); }
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
    // The header and where the pages are, to read pages later.
    CSpritePackageReader m_reader;
    std::vector<CString> m_pageNames;
    std::vector<bool> m_pageLoaded;
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
