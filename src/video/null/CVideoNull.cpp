#include "video/null/CVideoNull.h"

#include "io/IFileSystem.h"

namespace kelvo::video
{

CVideoNull::CVideoNull(zu::io::IFileSystem* fileSystem, zu::core::SDimension2i screenSize)
    : m_fileSystem(fileSystem), m_screenSize(screenSize)
{
    if (m_fileSystem)
        m_fileSystem->grab();
}

CVideoNull::~CVideoNull()
{
    if (m_fileSystem)
        m_fileSystem->drop();
}

bool CVideoNull::beginScene(bool, bool, uint32_t) { return true; }

bool CVideoNull::endScene() { return true; }

void CVideoNull::setTransform(zu::video::ETransformState state, const zu::core::CMatrix4& matrix)
{
    if (state >= 0 && state < 3)
        m_transforms[state] = matrix;
}

const zu::core::CMatrix4& CVideoNull::getTransform(zu::video::ETransformState state) const
{
    return m_transforms[(state >= 0 && state < 3) ? state : 0];
}

void CVideoNull::setMaterial(const zu::video::MaterialState& material) { m_material = material; }

bool CVideoNull::switchFullscreen(bool on, zu::core::SDimension2i)
{
    m_fullscreen = on;
    return true;
}

void CVideoNull::setTextureFlag(uint32_t flag, bool on)
{
    if (on)
        m_textureFlags |= flag;
    else
        m_textureFlags &= ~flag;
}

bool CVideoNull::writeScreenshot(const zu::core::CString&, const zu::core::CString&,
                                 zu::video::ITexture*)
{
    // The null driver has no pixels to save.
    return false;
}

} // namespace kelvo::video
