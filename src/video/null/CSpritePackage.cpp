#include "video/null/CSpritePackage.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"
#include "video/IImage.h"
#include "video/ITexture.h"
#include "video/IVideoDriver.h"
#include "video/SpritePackageFormat.h"
#include "video/null/CSpriteAnimationImage.h"
#include "video/null/CSpriteAnimationImageBundle.h"
#include "video/null/CSpriteAnimationState.h"

#include <algorithm>

using zu::core::CString;
using zu::core::ELL_ERROR;
using zu::core::ELL_WARNING;
using zu::core::zuLog;
using namespace zu::video;

namespace kelvo::video
{

namespace
{

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
    CSpritePackageReader reader;
    SSpritePackageTables tables;
    if (!reader.read(file, tables)) return false;

    // Everything checked: take it.
    m_reader = std::move(reader);
    m_path = path;
    const int32_t pageCount = m_reader.getPageCount();
    m_pageNames.clear();
    for (int32_t j = 0; j < pageCount; ++j)
        m_pageNames.push_back(CString::fromInt(j) + "#" + file->getFileName());
    m_pageLoaded.assign(size_t(pageCount), false);
    m_images = std::move(tables.images);
    sortById(m_images);
    m_bundles = std::move(tables.bundles);
    sortById(m_bundles);
    m_animations = std::move(tables.animations);
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

bool CSpritePackage::isPageLoaded(int32_t page) const
{
    return page >= 0 && page < m_reader.getPageCount() && m_pageLoaded[size_t(page)];
}

// ---------------------------------------------------------------- pages

ITexture* CSpritePackage::loadPage(int32_t page)
{
    zu::io::IReadFile* file = m_fileSystem ? m_fileSystem->createAndOpenFile(m_path) : nullptr;
    if (!file) return nullptr;
    IImage* image = m_reader.readPage(file, page);
    file->drop();
    if (!image)
    {
        zuLog(ELL_ERROR, "Could not read page %d of a sprite package: %s", int(page),
              m_path.c_str());
        return nullptr;
    }
    m_driver->setTextureFlag(m_reader.getPagePixelFormat() == spritefile::PAGE_RGB
                                 ? ETCF_OPTIMIZED_FOR_SPEED
                                 : ETCF_OPTIMIZED_FOR_QUALITY,
                             true);
    const CString& name = m_pageNames[size_t(page)];
    ITexture* texture = m_driver->addTexture(image, name);
    if (!texture) texture = m_driver->addTexture(image, name);
    image->drop();
    if (texture) m_pageLoaded[size_t(page)] = true;
    return texture;
}

ITexture* CSpritePackage::getPageTexture(int32_t page)
{
    if (!m_driver || page < 0 || page >= m_reader.getPageCount()) return nullptr;
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
