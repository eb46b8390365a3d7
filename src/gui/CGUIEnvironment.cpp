#include "gui/CGUIEnvironment.h"

#include "core/IOSOperator.h"
#include "core/ITimer.h"
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

using namespace zu::event;
using zu::gui::IGUIElement;

namespace
{

zu::video::SRecti screenRect(zu::video::IVideoDriver* driver)
{
    if (!driver) return {};
    const zu::core::SDimension2i size = driver->getRenderSize();
    return {0, 0, size.width, size.height};
}

} // namespace

CGUIEnvironment::CGUIEnvironment(zu::io::IFileSystem* fileSystem, zu::video::IVideoDriver* driver,
                                 zu::ITimer* timer, zu::IOSOperator* osOperator)
    : IGUILayout(zu::gui::EGUIET_LAYOUT, this, nullptr, 0, screenRect(driver)), m_driver(driver),
      m_fileSystem(fileSystem), m_timer(timer), m_osOperator(osOperator)
{
    setDebugName("CGUIEnvironment");
    if (m_fileSystem) m_fileSystem->grab();
    if (m_timer) m_timer->grab();
    if (m_osOperator) m_osOperator->grab();
    // The skin starts with the built-in font, so it must exist first.
    makeBuiltInFont();
    m_skin = new CGUISkin();
    m_skin->setFont(getBuiltInFont());
    m_hoverParent = new zu::gui::IGUIHoverParent(this, this);
}

CGUIEnvironment::~CGUIEnvironment()
{
    letGo(m_hovered);
    m_hovered = nullptr;
    zu::dropAndClear(m_hoverParent);
    zu::dropAndClear(m_skin);
    letGo(m_focus);
    m_focus = nullptr;
    zu::dropAndClear(m_fileSystem);
    zu::dropAndClear(m_osOperator);
    zu::dropAndClear(m_timer);
    for (SFontEntry& entry : m_fonts)
        entry.font->drop();
    m_fonts.clear();
    m_builtInFont = nullptr;
    // The elements go while the environment they ask about still stands.
    while (!m_children.empty())
        IGUIElement::removeChild(m_children.front());
}

void CGUIEnvironment::clear()
{
    while (!m_children.empty())
        IGUIElement::removeChild(m_children.front());
}

zu::video::SPosition2i CGUIEnvironment::toRenderPixels(int32_t x, int32_t y) const
{
    if (!m_driver) return {x, y};
    const zu::core::SDimension2i window = m_driver->getScreenSize();
    const zu::core::SDimension2i render = m_driver->getRenderSize();
    if (window == render || window.width <= 0 || window.height <= 0) return {x, y};
    return {int32_t(int64_t(x) * render.width / window.width),
            int32_t(int64_t(y) * render.height / window.height)};
}

void CGUIEnvironment::drawAll()
{
    if (!m_driver) return;
    const zu::video::SRecti screen = screenRect(m_driver);
    if (screen.right != m_absoluteRect.right || screen.bottom != m_absoluteRect.bottom)
    {
        setRelativePosition(screen);
        m_hoverParent->setRelativePosition(screen);
    }
    draw();
    IGUIElement* frame = m_hovered ? m_hovered->getToolTip() : nullptr;
    if (frame)
    {
        placeToolTip(m_hovered, frame);
        m_hoverParent->draw();
    }
}

void CGUIEnvironment::placeToolTip(IGUIElement* element, IGUIElement* frame)
{
    const zu::video::SRecti& e = element->getAbsolutePosition();
    const int32_t width = frame->getRelativePosition().getWidth();
    const int32_t height = frame->getRelativePosition().getHeight();
    frame->moveTo(e.left + e.getWidth() / 2 - width / 2, e.top - height - TOOL_TIP_GAP);
    const zu::video::SRecti& bounds = m_hoverParent->getAbsolutePosition();
    if (frame->getAbsolutePosition().top < bounds.top)
        frame->move(0, height + e.getHeight() + 2 * TOOL_TIP_GAP);
    const zu::video::SRecti& placed = frame->getAbsolutePosition();
    if (placed.left < bounds.left)
        frame->move(bounds.left - placed.left, 0);
    else if (placed.right > bounds.right)
        frame->move(bounds.right - placed.right, 0);
}

bool CGUIEnvironment::tell(IGUIElement* element, const SEngineEvent& event)
{
    element->grab();
    const bool consumed = element->onEvent(event);
    element->drop();
    return consumed;
}

void CGUIEnvironment::keep(IGUIElement* element)
{
    if (element && element != static_cast<IGUIElement*>(this)) element->grab();
}

void CGUIEnvironment::letGo(IGUIElement* element)
{
    if (element && element != static_cast<IGUIElement*>(this)) element->drop();
}

void CGUIEnvironment::setFocus(IGUIElement* element)
{
    if (element == m_focus) return;
    removeFocus(m_focus);
    keep(element);
    m_focus = element;
}

void CGUIEnvironment::removeFocus(IGUIElement* element)
{
    if (!element || element != m_focus) return;
    m_focus = nullptr;
    // The environment's reference is the one given up; the event is about
    // the root, so it reaches no script.
    tell(element, SEngineEvent::makeGui(this, GuiFocusLost));
    letGo(element);
}

bool CGUIEnvironment::hasFocus(const IGUIElement* element) const
{
    return element && element == m_focus;
}

void CGUIEnvironment::forgetHoverAndFocus()
{
    if (m_hovered && m_hovered->getToolTip()) m_hovered->getToolTip()->setVisible(false);
    letGo(m_hovered);
    letGo(m_focus);
    m_hovered = m_focus = nullptr;
}

void CGUIEnvironment::addChild(IGUIElement* child)
{
    if (!child) return;
    forgetHoverAndFocus();
    IGUILayout::addChild(child);
}

void CGUIEnvironment::removeChild(IGUIElement* child)
{
    if (std::find(m_children.begin(), m_children.end(), child) == m_children.end()) return;
    forgetHoverAndFocus();
    IGUILayout::removeChild(child);
}

bool CGUIEnvironment::onEvent(const SEngineEvent& event)
{
    if (m_userReceiver && event.type == GuiEvent &&
        event.gui.caller != static_cast<IGUIElement*>(this))
        return m_userReceiver->onEvent(event);
    return false;
}

void CGUIEnvironment::updateHover(zu::video::SPosition2i point)
{
    IGUIElement* old = m_hovered;
    IGUIElement* hit = getElementFromPoint(point);
    // The local references keep both alive whatever the handlers do to the
    // tree or to the hovered element.
    if (old) old->grab();
    if (hit) hit->grab();
    letGo(old);
    m_hovered = hit;
    keep(hit);
    // Hovering nothing tells nobody.
    if (hit && hit != old)
    {
        if (old)
        {
            tell(old, SEngineEvent::makeGui(old, GuiLeft));
            if (old->getType() == zu::gui::EGUIET_BUTTON)
                tell(old, SEngineEvent::makeGui(old, GuiButtonLeft));
        }
        tell(hit, SEngineEvent::makeGui(hit, GuiHovered));
        if (hit->getType() == zu::gui::EGUIET_BUTTON)
            tell(hit, SEngineEvent::makeGui(hit, GuiButtonHovered));
        for (IGUIElement* frame : m_hoverParent->getChildren())
            frame->setVisible(false);
        if (IGUIElement* frame = hit->getToolTip()) frame->setVisible(true);
    }
    if (hit) hit->drop();
    if (old) old->drop();
}

bool CGUIEnvironment::postEventFromUser(const SEngineEvent& event)
{
    switch (event.type)
    {
    case MouseEvent:
        return onMouse(event);
    case KeyEvent:
        return onKey(event);
    default:
        return false;
    }
}

bool CGUIEnvironment::onMouse(SEngineEvent event)
{
    // The wheel reports screen coordinates: it keeps the last position.
    if (event.mouse.action != MouseWheel)
        m_lastMouse = toRenderPixels(event.mouse.x, event.mouse.y);
    event.mouse.x = m_lastMouse.x;
    event.mouse.y = m_lastMouse.y;
    if (IGUIElement* focus = m_focus)
    {
        const MouseAction action = event.mouse.action;
        const bool release = action == LeftUp || action == RightUp || action == MiddleUp;
        // A release away from the focused element is not its business.
        if (release && !zu::gui::isInside(focus->getAbsolutePosition(), m_lastMouse))
            removeFocus(focus);
        else if (tell(focus, event))
            return true;
    }
    updateHover(m_lastMouse);
    IGUIElement* hovered = m_hovered;
    if (!hovered || hovered == static_cast<IGUIElement*>(this)) return false;
    return tell(hovered, event);
}

bool CGUIEnvironment::onKey(const SEngineEvent& event)
{
    IGUIElement* focus = m_focus;
    if (focus && focus != static_cast<IGUIElement*>(this) && tell(focus, event)) return true;
    return offerKeyEvent(event);
}

zu::gui::IGUISkin* CGUIEnvironment::getSkin() const
{
    return m_skin;
}

zu::gui::IGUIFont* CGUIEnvironment::getBuiltInFont() const
{
    return m_builtInFont;
}

zu::gui::IGUIFont* CGUIEnvironment::fontOr(zu::gui::IGUIFont* font) const
{
    return font ? font : m_skin ? m_skin->getFont() : nullptr;
}

zu::gui::IGUIFont* CGUIEnvironment::getFont(const zu::core::CString& fileName)
{
    auto it = std::lower_bound(m_fonts.begin(), m_fonts.end(), fileName,
                               [](const SFontEntry& e, const zu::core::CString& name)
                               { return e.name < name; });
    if (it != m_fonts.end() && it->name == fileName) return it->font;
    // A failed load registers nothing, so the next request tries the file again.
    zu::gui::IGUIFont* font = loadFont(fileName);
    if (font) addFont(fileName, font);
    return font;
}

zu::gui::IGUIFont* CGUIEnvironment::loadFont(const zu::core::CString& fileName)
{
    if (!m_driver || fileName.empty()) return nullptr;
    if (fileName.find(".fnt") != zu::core::CString::npos)
    {
        auto* font = new CUnicodeFont(m_driver);
        if (font->load(fileName)) return font;
        font->drop();
        return nullptr;
    }
    const bool wasCached = m_driver->findTexture(fileName) != nullptr;
    zu::video::ITexture* texture = m_driver->getTexture(fileName);
    if (!texture) return nullptr;
    auto* font = new CGUIFont(m_driver);
    if (font->load(texture)) return font;
    font->drop();
    // Finding the glyphs rewrites the pixels, so a texture this request
    // brought in is useless now; the next request reads the file again.
    if (!wasCached) m_driver->removeTexture(texture);
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
