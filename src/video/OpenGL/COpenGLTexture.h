// COpenGLTexture: a GL texture with a pixel copy in memory (A8R8G8B8), so
// colour keys and locks work without reading the GPU back. A render target
// has a frame buffer instead and no pixel copy.
#pragma once

#include "video/ITexture.h"

#include <cstdint>

namespace kelvo::video
{

class COpenGLTexture : public zu::video::ITexture
{
public:
    // A texture made from an image; an empty image leaves it without pixels.
    COpenGLTexture(const zu::core::CString& name, zu::video::IImage* image, bool mipmaps);
    // A render target of the given size, or one with glName 0 and fbo 0 when
    // the frame buffer could not be completed.
    COpenGLTexture(const zu::core::CString& name, zu::core::SDimension2i size);
    ~COpenGLTexture() override;

    void* lock() override { return m_pixels; }
    // Uploads the pixel copy again.
    void unlock() override { upload(); }
    zu::core::SDimension2i getSourceSize() const override { return m_size; }
    zu::core::SDimension2i getSize() const override { return m_size; }
    int32_t getDriverType() const override;
    zu::video::ECOLOR_FORMAT getColorFormat() const override { return zu::video::ECF_A8R8G8B8; }
    int32_t getPitch() const override { return m_size.width * 4; }

    uint32_t getOpenGLTextureName() const { return m_glName; }
    uint32_t getOpenGLFBO() const { return m_fbo; }
    bool hasMipMaps() const { return m_mipmaps; }

private:
    void upload();
    void uploadMipMaps();

    zu::core::SDimension2i m_size{0, 0};
    uint32_t* m_pixels = nullptr;
    uint32_t m_glName = 0;
    uint32_t m_fbo = 0;
    bool m_mipmaps = false;
};

} // namespace kelvo::video
