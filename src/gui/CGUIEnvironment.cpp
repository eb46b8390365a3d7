#include "gui/CGUIEnvironment.h"

#include "core/Output.h"
#include "event/SEngineEvent.h"
#include "gui/CGUIFont.h"
#include "gui/CGUISkin.h"
#include "gui/CUnicodeFont.h"
#include "io/CMemoryReadFile.h"
#include "io/IFileSystem.h"
#include "video/IVideoDriver.h"

#include <algorithm>

// The built-in font's image, embedded at build time from BuiltInFont.bmp.
extern const char pellora_builtin_font[];
extern const unsigned pellora_builtin_font_size;

namespace kelvo::gui
{

CGUIEnvironment::CGUIEnvironment(zu::io::IFileSystem* fileSystem, zu::video::IVideoDriver* driver)
    : m_driver(driver), m_fileSystem(fileSystem)
{
    setDebugName("CGUIEnvironment");
    if (m_fileSystem)
        m_fileSystem->grab();
    // The skin starts with the built-in font, so it must exist first.
    makeBuiltInFont();
    m_skin = new CGUISkin();
    m_skin->setFont(getBuiltInFont());
}

CGUIEnvironment::~CGUIEnvironment()
{
    zu::dropAndClear(m_skin);
    zu::dropAndClear(m_fileSystem);
    for (SFontEntry& entry : m_fonts)
        entry.font->drop();
    m_fonts.clear();
    m_builtInFont = nullptr;
}

bool CGUIEnvironment::postEventFromUser(const zu::event::SEngineEvent& event)
{
    // Wheel events carry screen coordinates, every other mouse event the
    // position the hover and focus checks use.
    if (event.type == zu::event::MouseEvent && event.mouse.action != zu::event::MouseWheel)
        m_lastMouse = {event.mouse.x, event.mouse.y};
    return false;
}

zu::gui::IGUISkin* CGUIEnvironment::getSkin() const { return m_skin; }

zu::gui::IGUIFont* CGUIEnvironment::getBuiltInFont() const { return m_builtInFont; }

zu::gui::IGUIFont* CGUIEnvironment::getFont(const zu::core::CString& fileName)
{
    auto it = std::lower_bound(m_fonts.begin(), m_fonts.end(), fileName,
                               [](const SFontEntry& e, const zu::core::CString& name)
                               { return e.name < name; });
    if (it != m_fonts.end() && it->name == fileName)
        return it->font;
    // A failed load registers nothing, so the next request tries the file again.
    zu::gui::IGUIFont* font = loadFont(fileName);
    if (font)
        addFont(fileName, font);
    return font;
}

zu::gui::IGUIFont* CGUIEnvironment::loadFont(const zu::core::CString& fileName)
{
    if (!m_driver || fileName.empty())
        return nullptr;
    if (fileName.find(".fnt") != zu::core::CString::npos)
    {
        auto* font = new CUnicodeFont(m_driver);
        if (font->load(fileName))
            return font;
        font->drop();
        return nullptr;
    }
    const bool wasCached = m_driver->findTexture(fileName) != nullptr;
    zu::video::ITexture* texture = m_driver->getTexture(fileName);
    if (!texture)
        return nullptr;
    auto* font = new CGUIFont(m_driver);
    if (font->load(texture))
        return font;
    font->drop();
    // Finding the glyphs rewrites the pixels, so a texture this request
    // brought in is useless now; the next request reads the file again.
    if (!wasCached)
        m_driver->removeTexture(texture);
    return nullptr;
}

void CGUIEnvironment::addFont(const zu::core::CString& fileName, zu::gui::IGUIFont* font)
{
    auto it = std::upper_bound(m_fonts.begin(), m_fonts.end(), fileName,
                               [](const zu::core::CString& name, const SFontEntry& e)
                               { return name < e.name; });
    m_fonts.insert(it, SFontEntry{fileName, font});
}

void CGUIEnvironment::makeBuiltInFont()
{
    auto* font = new CGUIFont(m_driver);
    bool made = false;
    if (m_driver)
    {
        // An earlier environment on this driver left the image in the texture
        // cache with its markers already cleared.
        m_driver->removeTexture(BUILT_IN_FONT_NAME);
        auto* file = new io::CMemoryReadFile(
            pellora_builtin_font, int32_t(pellora_builtin_font_size), false, BUILT_IN_FONT_NAME);
        made = font->load(m_driver->getTexture(file));
        file->drop();
    }
    if (!made)
    {
        zu::core::zuLogText("Error: Could not load built-in Font.", zu::core::ELL_ERROR);
        font->drop();
        return;
    }
    font->setSymbolGlyphs(BUILT_IN_FIRST_SYMBOL);
    m_builtInFont = font;
    addFont(BUILT_IN_FONT_NAME, font);
}

} // namespace kelvo::gui
