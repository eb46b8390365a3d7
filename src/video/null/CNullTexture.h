// CNullTexture: the null driver's texture, a pixel copy of the image it was
// made from, in the image's own format. Nothing is uploaded anywhere, so
// colour keys, screenshots of textures and render-target sizes all work
// without a graphics API.
#pragma once

#include "video/ITexture.h"

namespace kelvo::video
{

class CImage;

class CNullTexture : public zu::video::ITexture
{
public:
    // Copies the image.
    CNullTexture(const zu::core::CString& name, zu::video::IImage* image);
    // A cleared A8R8G8B8 texture of the given size (render targets).
    CNullTexture(const zu::core::CString& name, zu::core::SDimension2i size);
    ~CNullTexture() override;

    void* lock() override;
    void unlock() override {}
    zu::core::SDimension2i getSourceSize() const override;
    zu::core::SDimension2i getSize() const override;
    int32_t getDriverType() const override;
    zu::video::ECOLOR_FORMAT getColorFormat() const override;
    int32_t getPitch() const override;

    // The pixel copy.
    zu::video::IImage* getImage() const;

private:
    CImage* m_image;
};

} // namespace kelvo::video
