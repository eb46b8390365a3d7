#include "video/DirectX9/CDirectX9Texture.h"

#include "core/Output.h"
#include "video/DirectX9/CVideoDirectX9.h"
#include "video/IVideoDriver.h"

#include <cstring>

using zu::core::ELL_ERROR;
using zu::core::ELL_INFORMATION;
using zu::core::ELL_WARNING;
using zu::core::zuLogText;
using namespace zu::video;

namespace kelvo::video
{
namespace
{

uint16_t toA1R5G5B5(uint32_t c)
{
    return uint16_t((c >> 31 ? 0x8000 : 0) | ((c >> 9) & 0x7C00) | ((c >> 6) & 0x03E0) |
                    ((c >> 3) & 0x001F));
}

} // namespace

CDirectX9Texture::CDirectX9Texture(const zu::core::CString& name, IImage* image,
                                   CVideoDirectX9* driver, IDirect3DDevice9* device, bool mipMaps)
    : ITexture(name)
{
    if (!image || image->getSize().width <= 0 || image->getSize().height <= 0) return;
    m_sourceSize = image->getSize();
    if (!createTexture(device, driver, mipMaps, image->getColorFormat())) return;
    if (copyImage(image) && mipMaps) createMipMaps();
}

CDirectX9Texture::CDirectX9Texture(const zu::core::CString& name, zu::core::SDimension2i size,
                                   ECOLOR_FORMAT format, IDirect3DDevice9* device)
    : ITexture(name), m_size(size), m_sourceSize(size), m_colorFormat(format),
      m_sameSize(true), m_isRenderTarget(true)
{
    switch (format)
    {
    case ECF_A1R5G5B5:
        m_targetFormat = D3DFMT_A1R5G5B5;
        break;
    case ECF_R5G6B5:
        m_targetFormat = D3DFMT_R5G6B5;
        break;
    case ECF_R8G8B8:
        m_targetFormat = D3DFMT_X8R8G8B8;
        break;
    default:
        m_targetFormat = D3DFMT_A8R8G8B8;
        break;
    }
    recreateTarget(device);
}

CDirectX9Texture::~CDirectX9Texture()
{
    if (m_texture) m_texture->Release();
}

bool CDirectX9Texture::createTexture(IDirect3DDevice9* device, CVideoDirectX9* driver, bool mipMaps,
                                     ECOLOR_FORMAT imageFormat)
{
    const bool bit32 = driver->getTextureFlag(ETCF_ALWAYS_32_BIT);
    const bool quality = driver->getTextureFlag(ETCF_OPTIMIZED_FOR_QUALITY);
    D3DFORMAT format = D3DFMT_A1R5G5B5;
    // Deep images keep their depth for quality; 16-bit ones stay 16-bit.
    if (bit32 || (quality && (imageFormat == ECF_R8G8B8 || imageFormat == ECF_A8R8G8B8)))
        format = D3DFMT_A8R8G8B8;
    m_colorFormat = ECF_A1R5G5B5;
    DWORD usage = 0;
    if (mipMaps && driver->canAutoGenerateMipMaps())
    {
        usage = D3DUSAGE_AUTOGENMIPMAP;
        m_autoMipMaps = true;
    }
    HRESULT hr = device->CreateTexture(UINT(m_sourceSize.width), UINT(m_sourceSize.height),
                                       mipMaps ? 0 : 1, usage, format, D3DPOOL_MANAGED,
                                       &m_texture, nullptr);
    if (FAILED(hr) && format == D3DFMT_A8R8G8B8)
    {
        format = D3DFMT_A1R5G5B5;
        m_autoMipMaps = false;
        hr = device->CreateTexture(UINT(m_sourceSize.width), UINT(m_sourceSize.height),
                                   mipMaps ? 0 : 1, 0, format, D3DPOOL_MANAGED, &m_texture,
                                   nullptr);
    }
    if (FAILED(hr) || !m_texture)
    {
        m_texture = nullptr;
        zuLogText("Could not create DirectX9 Texture.", ELL_WARNING);
        return false;
    }
    m_colorFormat = format == D3DFMT_A1R5G5B5 ? ECF_A1R5G5B5 : ECF_A8R8G8B8;
    D3DSURFACE_DESC desc;
    if (SUCCEEDED(m_texture->GetLevelDesc(0, &desc)))
        m_size = {int32_t(desc.Width), int32_t(desc.Height)};
    else
        m_size = m_sourceSize;
    m_sameSize = m_size.width == m_sourceSize.width && m_size.height == m_sourceSize.height;
    return true;
}

bool CDirectX9Texture::copyImage(IImage* image)
{
    D3DLOCKED_RECT rect;
    if (m_colorFormat == ECF_A8R8G8B8)
    {
        if (FAILED(m_texture->LockRect(0, &rect, nullptr, 0)))
        {
            zuLogText("Could not lock DirectX9 32 bit Texture.", ELL_ERROR);
            return false;
        }
        m_pitch = int32_t(rect.Pitch);
        const bool direct = image->getColorFormat() == ECF_A8R8G8B8 && m_sameSize;
        const uint8_t* source = direct ? static_cast<const uint8_t*>(image->lock()) : nullptr;
        for (int32_t y = 0; y < m_size.height; ++y)
        {
            uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(rect.pBits) +
                                                        size_t(y) * size_t(rect.Pitch));
            if (source)
            {
                memcpy(row, source + size_t(y) * size_t(m_sourceSize.width) * 4,
                       size_t(m_size.width) * 4);
                continue;
            }
            const int32_t sy = int32_t(int64_t(y) * m_sourceSize.height / m_size.height);
            for (int32_t x = 0; x < m_size.width; ++x)
                row[x] = image->getPixel(int32_t(int64_t(x) * m_sourceSize.width / m_size.width), sy);
        }
        if (source) image->unlock();
        if (FAILED(m_texture->UnlockRect(0)))
        {
            zuLogText("Could not unlock DirectX9 Texture.", ELL_ERROR);
            return false;
        }
        return true;
    }
    if (m_colorFormat != ECF_A1R5G5B5)
    {
        zuLogText("CDirectX9Texture: Unsupported D3D9 hardware texture format", ELL_ERROR);
        return false;
    }
    if (FAILED(m_texture->LockRect(0, &rect, nullptr, 0)))
    {
        zuLogText("Could not lock DirectX9 16 bit Texture.", ELL_ERROR);
        return false;
    }
    m_pitch = int32_t(rect.Pitch);
    const bool direct = image->getColorFormat() == ECF_A1R5G5B5 && m_sameSize;
    const uint8_t* source = direct ? static_cast<const uint8_t*>(image->lock()) : nullptr;
    for (int32_t y = 0; y < m_size.height; ++y)
    {
        uint16_t* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(rect.pBits) +
                                                    size_t(y) * size_t(rect.Pitch));
        if (source)
        {
            memcpy(row, source + size_t(y) * size_t(m_sourceSize.width) * 2,
                   size_t(m_size.width) * 2);
            continue;
        }
        const int32_t sy = int32_t(int64_t(y) * m_sourceSize.height / m_size.height);
        for (int32_t x = 0; x < m_size.width; ++x)
            row[x] = toA1R5G5B5(
                image->getPixel(int32_t(int64_t(x) * m_sourceSize.width / m_size.width), sy));
    }
    if (source) image->unlock();
    if (FAILED(m_texture->UnlockRect(0)))
    {
        zuLogText("Could not unlock DirectX9 16 bit Texture.", ELL_ERROR);
        return false;
    }
    return true;
}

void CDirectX9Texture::createMipMaps()
{
    if (m_autoMipMaps)
    {
        m_texture->GenerateMipSubLevels();
        m_hasMipMaps = true;
        return;
    }
    if (CVideoDirectX9::filterTexture(m_texture))
        m_hasMipMaps = true;
    else
        zuLogText("Could not create direct3d mip map levels.", ELL_WARNING);
}

void* CDirectX9Texture::lock()
{
    if (!m_texture) return nullptr;
    D3DLOCKED_RECT rect;
    if (FAILED(m_texture->LockRect(0, &rect, nullptr, 0)))
    {
        zuLogText("Could not lock DirectX9 Texture.", ELL_ERROR);
        return nullptr;
    }
    m_pitch = int32_t(rect.Pitch);
    return rect.pBits;
}

void CDirectX9Texture::unlock()
{
    if (m_texture) m_texture->UnlockRect(0);
}

void CDirectX9Texture::releaseTarget()
{
    if (m_isRenderTarget && m_texture)
    {
        m_texture->Release();
        m_texture = nullptr;
    }
}

bool CDirectX9Texture::recreateTarget(IDirect3DDevice9* device)
{
    if (!m_isRenderTarget || m_texture) return m_texture != nullptr;
    if (FAILED(device->CreateTexture(UINT(m_size.width), UINT(m_size.height), 1,
                                     D3DUSAGE_RENDERTARGET, m_targetFormat, D3DPOOL_DEFAULT,
                                     &m_texture, nullptr)))
    {
        m_texture = nullptr;
        zuLogText("Could not create render target texture", ELL_INFORMATION);
        return false;
    }
    return true;
}

} // namespace kelvo::video
