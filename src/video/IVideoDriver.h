// IVideoDriver: the drawing interface, one per device. 2D coordinates are
// pixels of the render size, origin at the top-left corner, y down.
#pragma once

#include "core/CMatrix4.h"
#include "core/CString.h"
#include "core/IUnknown.h"
#include "core/SDimension.h"
#include "other/IKelvoDevice.h"
#include "video/MaterialState.h"

namespace zu::video
{

class ITexture;

enum ETransformState
{
    ETS_VIEW = 0,
    ETS_WORLD = 1,
    ETS_PROJECTION = 2
};

// Texture creation flags.
enum ETextureCreationFlag : uint32_t
{
    ETCF_CREATE_MIP_MAPS = 16
};

class IVideoDriver : public virtual IUnknown
{
public:
    virtual bool beginScene(bool backBuffer, bool zBuffer, uint32_t color) = 0;
    virtual bool endScene() = 0;
    virtual void setTransform(ETransformState state, const core::CMatrix4& matrix) = 0;
    virtual const core::CMatrix4& getTransform(ETransformState state) const = 0;
    virtual void setMaterial(const MaterialState& material) = 0;

    virtual core::SDimension2i getScreenSize() const = 0;
    virtual core::SDimension2i getRenderSize() const = 0;
    virtual void onResize(core::SDimension2i size) = 0;
    virtual bool isFullscreen() const = 0;
    // Switches the driver's own full-screen state; false when refused.
    virtual bool switchFullscreen(bool on, core::SDimension2i size) = 0;

    virtual void setTextureFlag(uint32_t flag, bool on) = 0;
    virtual bool getTextureFlag(uint32_t flag) const = 0;

    // Writes a JPEG of the back buffer (texture null) or of a texture. An empty
    // folder is the working folder; an empty name is the default name.
    virtual bool writeScreenshot(const core::CString& folder, const core::CString& name,
                                 ITexture* texture) = 0;

    virtual EDriverType getDriverType() const = 0;
    virtual const char* getName() const = 0;
    virtual int getFPS() const = 0;
};

} // namespace zu::video
