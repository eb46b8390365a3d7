// CVideoNull: the driver that keeps all state and draws nothing. The drivers
// that draw derive from it.
#pragma once

#include "video/IVideoDriver.h"

#include <cstdint>

namespace zu::io
{
class IFileSystem;
}

namespace kelvo::video
{

class CVideoNull : public zu::video::IVideoDriver
{
public:
    CVideoNull(zu::io::IFileSystem* fileSystem, zu::core::SDimension2i screenSize);
    ~CVideoNull() override;

    bool beginScene(bool backBuffer, bool zBuffer, uint32_t color) override;
    bool endScene() override;
    void setTransform(zu::video::ETransformState state, const zu::core::CMatrix4& matrix) override;
    const zu::core::CMatrix4& getTransform(zu::video::ETransformState state) const override;
    void setMaterial(const zu::video::MaterialState& material) override;

    zu::core::SDimension2i getScreenSize() const override { return m_screenSize; }
    zu::core::SDimension2i getRenderSize() const override { return m_screenSize; }
    void onResize(zu::core::SDimension2i size) override { m_screenSize = size; }
    bool isFullscreen() const override { return m_fullscreen; }
    bool switchFullscreen(bool on, zu::core::SDimension2i size) override;

    void setTextureFlag(uint32_t flag, bool on) override;
    bool getTextureFlag(uint32_t flag) const override { return (m_textureFlags & flag) != 0; }

    bool writeScreenshot(const zu::core::CString& folder, const zu::core::CString& name,
                         zu::video::ITexture* texture) override;

    zu::EDriverType getDriverType() const override { return zu::EDT_NULL; }
    const char* getName() const override { return "Null Driver"; }
    int getFPS() const override { return m_fps; }

protected:
    zu::io::IFileSystem* m_fileSystem;
    zu::core::SDimension2i m_screenSize;
    bool m_fullscreen = false;
    uint32_t m_textureFlags = 0;
    zu::core::CMatrix4 m_transforms[3];
    zu::video::MaterialState m_material;
    int m_fps = 0;
};

} // namespace kelvo::video
