// CDirectX9Texture: a Direct3D 9 texture. Textures made from images live in
// the managed pool (the runtime restores them after a reset); render targets
// live in the default pool and are released and recreated by the driver
// around every reset.
#pragma once

#include "video/ITexture.h"

#include <d3d9.h>

namespace kelvo::video
{

class CVideoDirectX9;

class CDirectX9Texture : public zu::video::ITexture
{
  public:
    // From an image: A1R5G5B5 or A8R8G8B8 as the texture flags say.
    CDirectX9Texture(const zu::core::CString& name, zu::video::IImage* image,
                     CVideoDirectX9* driver, IDirect3DDevice9* device, bool mipMaps);
    // A render target of the given size and format.
    CDirectX9Texture(const zu::core::CString& name, zu::core::SDimension2i size,
                     zu::video::ECOLOR_FORMAT format, IDirect3DDevice9* device);
    ~CDirectX9Texture() override;

    void* lock() override;
    void unlock() override;
    zu::core::SDimension2i getSourceSize() const override { return m_sourceSize; }
    zu::core::SDimension2i getSize() const override { return m_size; }
    int32_t getDriverType() const override { return 1; }
    zu::video::ECOLOR_FORMAT getColorFormat() const override { return m_colorFormat; }
    int32_t getPitch() const override { return m_pitch; }

    IDirect3DTexture9* getDX9Texture() const { return m_texture; }
    bool isValid() const { return m_texture != nullptr; }
    bool hasMipMaps() const { return m_hasMipMaps; }
    bool isRenderTarget() const { return m_isRenderTarget; }
    // Around a device reset: the default-pool texture goes, and comes back
    // with the same size and format.
    void releaseTarget();
    bool recreateTarget(IDirect3DDevice9* device);

  private:
    bool createTexture(IDirect3DDevice9* device, CVideoDirectX9* driver, bool mipMaps,
                       zu::video::ECOLOR_FORMAT imageFormat);
    bool copyImage(zu::video::IImage* image);
    void createMipMaps();

    IDirect3DTexture9* m_texture = nullptr;
    zu::core::SDimension2i m_size{0, 0};
    zu::core::SDimension2i m_sourceSize{0, 0};
    int32_t m_pitch = 0;
    zu::video::ECOLOR_FORMAT m_colorFormat = zu::video::ECF_A1R5G5B5;
    D3DFORMAT m_targetFormat = D3DFMT_A8R8G8B8;
    bool m_sameSize = false;
    bool m_hasMipMaps = false;
    bool m_autoMipMaps = false;
    bool m_isRenderTarget = false;
};

} // namespace kelvo::video
