// ISpritePackage: a sprite package: square texture pages holding packed
// images, bundles that build a large picture from a grid of images, and named
// animations. The driver caches packages by path; states and shared images
// are made from a package and handed back to it.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"
#include "video/SpritePackageFormat.h"

#include <cstdint>
#include <vector>

namespace zu::io
{
class IReadFile;
}

namespace zu::video
{

class ITexture;
class ISpriteAnimationImage;
class ISpriteAnimationState;

class ISpritePackage : public virtual IUnknown
{
  public:
    // Ids of bundles start here; image ids are below.
    static constexpr int32_t FIRST_BUNDLE_ID = spritefile::FIRST_BUNDLE_ID;

    // Reads the package's tables; the pages are read later, on first use.
    // False when the file is not a usable package.
    virtual bool read(io::IReadFile* file, const core::CString& path) = 0;

    // Advances every state the package keeps.
    virtual void updateStates(float seconds) = 0;
    virtual const std::vector<core::CString>& getPageNames() const = 0;
    // In file order.
    virtual const std::vector<core::CString>& getAnimationNames() const = 0;
    // The driver's texture of that name.
    virtual ITexture* getTexture(const core::CString& name) = 0;
    // The page's texture, made on first use; null for a page out of range or
    // one that cannot be made.
    virtual ITexture* getPageTexture(int32_t page) = 0;
    virtual core::CString getTextureName(ITexture* texture) const = 0;

    // A new state (to release) for the first animation with that numeric id,
    // or null.
    virtual ISpriteAnimationState* createState(int32_t animationId) = 0;
    // A new state (to release) for the animation of that name, or null.
    virtual ISpriteAnimationState* createState(const core::CString& animationName) = 0;
    // Destroys a state, forgetting it when the package keeps it.
    virtual void removeState(ISpriteAnimationState* state) = 0;
    virtual bool hasAnimation(const core::CString& name) const = 0;

    // The shared image (or bundle, for ids from FIRST_BUNDLE_ID) with one
    // more use, or null for an unknown id.
    virtual ISpriteAnimationImage* getImage(int32_t id) = 0;
    // Gives one use back; the last use destroys the image.
    virtual void releaseImage(ISpriteAnimationImage* image) = 0;
};

} // namespace zu::video
