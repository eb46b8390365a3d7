#include "video/null/CNullTexture.h"

#include "core/Output.h"
#include "video/EDriverType.h"
#include "video/null/CImage.h"

namespace kelvo::video
{

CNullTexture::CNullTexture(const zu::core::CString& name, zu::video::IImage* image)
    : ITexture(name), m_image(new CImage(image->getColorFormat(), image))
{
    ZU_CHECK(m_name.size());
}

CNullTexture::CNullTexture(const zu::core::CString& name, zu::core::SDimension2i size)
    : ITexture(name), m_image(new CImage(zu::video::ECF_A8R8G8B8, size))
{
    ZU_CHECK(m_name.size());
    m_image->clear();
}

CNullTexture::~CNullTexture()
{
    m_image->drop();
}

void* CNullTexture::lock()
{
    return m_image->lock();
}

zu::core::SDimension2i CNullTexture::getSourceSize() const
{
    return m_image->getSize();
}

zu::core::SDimension2i CNullTexture::getSize() const
{
    return m_image->getSize();
}

int32_t CNullTexture::getDriverType() const
{
    return zu::EDT_NULL;
}

zu::video::ECOLOR_FORMAT CNullTexture::getColorFormat() const
{
    return m_image->getColorFormat();
}

int32_t CNullTexture::getPitch() const
{
    return m_image->getSize().width * m_image->getBytesPerPixel();
}

zu::video::IImage* CNullTexture::getImage() const
{
    return m_image;
}

} // namespace kelvo::video
