#include "gui/CGUIStaticText.h"

#include "gui/BreakText.h"
#include "gui/CUnicodeFont.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUISkin.h"
#include "video/ISpriteAnimationState.h"
#include "video/ISpritePackage.h"
#include "video/IVideoDriver.h"

#include <algorithm>
#include <cmath>

namespace kelvo::gui
{

namespace
{

// The room between a paragraph icon and its lines.
constexpr int32_t ICON_GAP = 6;
constexpr double PI = 3.14159265358979323846;

// Milliseconds the reveal takes for a line of that width.
int32_t revealTime(int32_t width)
{
    return int32_t(float(width) * (1.f / float(CGUIStaticText::REVEAL_SPEED)) * 1000.f);
}

} // namespace

CGUIStaticText::CGUIStaticText(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent,
                               int32_t id, const zu::video::SRecti& rectangle,
                               const zu::core::CString& text, bool border, bool wordWrap,
                               const zu::core::CString& continuationPrefix)
    : IGUIStaticText(zu::gui::EGUIET_STATIC_TEXT, environment, parent, id, rectangle),
      m_border(border), m_wordWrap(wordWrap), m_prefix(continuationPrefix)
{
    setDebugName("CGUIStaticText");
    m_text = text;
    rewrap();
}

CGUIStaticText::~CGUIStaticText()
{
    zu::dropAndClear(m_overrideFont);
    if (m_icon) m_icon->release();
}

zu::gui::IGUIFont* CGUIStaticText::activeFont() const
{
    if (m_overrideFont) return m_overrideFont;
    zu::gui::IGUISkin* skin = m_environment ? m_environment->getSkin() : nullptr;
    return skin ? skin->getFont() : nullptr;
}

int32_t CGUIStaticText::lineHeight(zu::gui::IGUIFont* font) const
{
    return font ? font->getDimension("A").height : 0;
}

zu::core::SDimension2i CGUIStaticText::iconSize() const
{
    return m_icon ? m_icon->getSize(0) : zu::core::SDimension2i{};
}

void CGUIStaticText::setText(const zu::core::CString& text)
{
    m_text = text;
    rewrap();
}

void CGUIStaticText::setRelativePosition(const zu::video::SRecti& rectangle)
{
    const bool newWidth = rectangle.getWidth() != m_relativeRect.getWidth();
    IGUIStaticText::setRelativePosition(rectangle);
    // Lines broken for another width would run past the edge or stop short.
    if (newWidth) rewrap();
}

void CGUIStaticText::rewrap()
{
    if (!m_wordWrap || !m_environment || !m_environment->getSkin()) return;
    m_lines.clear();
    m_iconLines = 0;
    zu::gui::IGUIFont* font = activeFont();
    if (!font) return;
    m_wrapFont = font;
    const int32_t width = m_relativeRect.getWidth();
    if (!m_icon)
    {
        breakText(m_text, m_prefix, font, width, m_lines);
        return;
    }
    // The lines beside the icon are narrower; the rest of the text is broken
    // again at the full width below it.
    const zu::core::SDimension2i icon = iconSize();
    const int32_t lh = lineHeight(font);
    int32_t besideIcon = lh > 0 ? (lh / 2 + icon.height + ICON_GAP) / lh : 1;
    besideIcon = std::max(besideIcon, 1);
    std::vector<zu::core::CString> narrow;
    breakText(m_text, "", font, width - icon.width - ICON_GAP, narrow);
    const size_t kept = std::min(narrow.size(), size_t(besideIcon));
    m_lines.assign(narrow.begin(), narrow.begin() + long(kept));
    if (narrow.size() > kept)
    {
        zu::core::CString rest;
        for (size_t i = kept; i < narrow.size(); ++i)
        {
            rest += narrow[i];
            rest += ' ';
        }
        std::vector<zu::core::CString> below;
        breakText(rest, "", font, width, below);
        m_lines.insert(m_lines.end(), below.begin(), below.end());
    }
    m_iconLines = int32_t(std::min(size_t(besideIcon), m_lines.size()));
}

zu::core::SDimension2i CGUIStaticText::getPreferredSize() const
{
    zu::gui::IGUIFont* font = activeFont();
    if (font && !m_text.empty() && m_lines.empty()) return font->getDimension(m_text);
    return IGUIStaticText::getPreferredSize();
}

void CGUIStaticText::setOverrideFont(zu::gui::IGUIFont* font)
{
    if (font) font->grab();
    zu::dropAndClear(m_overrideFont);
    m_overrideFont = font;
    rewrap();
}

void CGUIStaticText::setOverrideColor(uint32_t color)
{
    m_overrideColor = color;
    m_overrideColorEnabled = true;
}

void CGUIStaticText::setWordWrap(bool on)
{
    m_wordWrap = on;
    rewrap();
}

void CGUIStaticText::setTextAlignment(zu::gui::EGUIAlignment horizontal,
                                      zu::gui::EGUIAlignment vertical)
{
    m_horizontal = horizontal;
    m_vertical = vertical;
}

int32_t CGUIStaticText::getTextHeight() const
{
    if (!m_environment || !m_environment->getSkin()) return 0;
    const int32_t height = lineHeight(activeFont());
    return m_wordWrap ? height * int32_t(m_lines.size()) : height;
}

void CGUIStaticText::setParagraphIcon(const zu::core::CString& name,
                                      zu::video::ISpritePackage* package, bool fitHeight)
{
    if (m_icon)
    {
        m_icon->release();
        m_icon = nullptr;
    }
    m_iconLines = 0;
    m_iconRight = false;
    zu::core::CString animation = name;
    const size_t right = name.find("|right");
    if (right != zu::core::CString::npos && right > 0)
    {
        m_iconRight = true;
        animation = name.substr(0, right);
    }
    if (package) m_icon = package->createState(animation);
    rewrap();
    if (!fitHeight) return;
    int32_t height = int32_t(m_lines.size()) * lineHeight(activeFont());
    height = std::max(height, m_icon ? iconSize().height : 0);
    if (height > 0)
        setRelativePosition({m_relativeRect.left, m_relativeRect.top, m_relativeRect.right,
                             m_relativeRect.top + height});
}

void CGUIStaticText::activateProgressiveReveal(uint32_t delay)
{
    m_reveal = true;
    m_revealStart = getTime() + delay;
}

int32_t CGUIStaticText::getTotalProgressiveTime() const
{
    const int32_t width = m_relativeRect.getWidth();
    if (m_lines.empty()) return revealTime(width);
    const int32_t lines = int32_t(m_lines.size());
    if (m_icon && m_iconLines >= 1)
        return (lines - m_iconLines + 1) * revealTime(width) +
               (m_iconLines - 1) * revealTime(width - iconSize().width - ICON_GAP);
    return lines * revealTime(width);
}

void CGUIStaticText::packSize()
{
    zu::gui::IGUIFont* font = activeFont();
    if (!font) return;
    zu::core::SDimension2i size;
    if (m_wordWrap)
    {
        size.height = int32_t(m_lines.size()) * lineHeight(font);
        for (const zu::core::CString& line : m_lines)
            size.width = std::max(size.width, font->getDimension(line).width);
    }
    else
        size = font->getDimension(m_text);
    setRelativePosition({m_relativeRect.left, m_relativeRect.top, m_relativeRect.left + size.width,
                         m_relativeRect.top + size.height});
}

int32_t CGUIStaticText::scrollOffset(int32_t boxWidth, int32_t textWidth, uint32_t time) const
{
    const int32_t overhang = boxWidth - textWidth; // negative
    const double sweep = double(time % SCROLL_PHASE) * 0.0005 * PI;
    switch ((time / SCROLL_PHASE) % 4)
    {
    case 0:
        return overhang;
    case 1:
        return int32_t(std::cos(sweep) * overhang);
    case 2:
        return -overhang;
    default:
        return -int32_t(std::cos(sweep) * overhang);
    }
}

void CGUIStaticText::drawBorder(zu::video::SRecti& inside) const
{
    zu::video::IVideoDriver* driver = m_environment->getVideoDriver();
    zu::gui::IGUISkin* skin = m_environment->getSkin();
    const zu::video::SRecti& r = m_absoluteRect;
    const zu::video::SRecti* clip = &m_clippingRect;
    driver->drawRectangle(skin->getColor(1), {r.left, r.top, r.right, r.top + 1}, clip);
    driver->drawRectangle(skin->getColor(1), {r.left, r.top, r.left + 1, r.bottom}, clip);
    driver->drawRectangle(skin->getColor(3), {r.right - 1, r.top, r.right, r.bottom}, clip);
    driver->drawRectangle(skin->getColor(3), {r.left, r.bottom - 1, r.right, r.bottom}, clip);
    inside.left += 3;
}

void CGUIStaticText::draw()
{
    if (!m_visible) return;
    zu::gui::IGUISkin* skin = m_environment ? m_environment->getSkin() : nullptr;
    zu::video::IVideoDriver* driver = m_environment ? m_environment->getVideoDriver() : nullptr;
    if (!skin || !driver) return IGUIStaticText::draw();
    zu::video::SRecti r = m_absoluteRect;
    if (m_border) drawBorder(r);
    zu::gui::IGUIFont* font = activeFont();
    if (m_text.empty() || !font) return IGUIStaticText::draw();

    const int32_t width = m_relativeRect.getWidth();
    const zu::core::SDimension2i icon = iconSize();
    zu::video::SRecti revealClip = m_clippingRect;
    int32_t revealLine = 0;
    if (m_reveal)
    {
        const uint32_t now = getTime();
        if (now < m_revealStart) return IGUIStaticText::draw();
        int32_t revealed = int32_t(double(now - m_revealStart) * REVEAL_SPEED * 0.001);
        // Whole lines are used up from the first on; the first counts at the
        // full width even beside an icon.
        if (revealed > width)
        {
            int32_t lineWidth = width;
            for (int32_t j = 0; j < int32_t(m_lines.size());)
            {
                ++j;
                revealed -= lineWidth;
                lineWidth = j < m_iconLines ? width - icon.width - ICON_GAP : width;
                revealLine = j;
                if (lineWidth >= revealed) break;
            }
        }
        int64_t right = int64_t(m_clippingRect.left) + revealed;
        if (m_icon && !m_iconRight && revealLine > 0 && revealLine < m_iconLines)
            right += icon.width + ICON_GAP;
        revealClip.right = int32_t(std::min<int64_t>(right, m_clippingRect.right));
    }

    const uint32_t color = m_overrideColorEnabled ? m_overrideColor : skin->getColor(8);
    if (m_wordWrap)
    {
        if (font != m_wrapFont) rewrap();
        const int32_t lh = lineHeight(font);
        font->setOverrideColor(color);
        if (m_icon)
        {
            const zu::video::SPosition2i offset = m_icon->getOffset(0);
            const int32_t x = r.left + (m_iconRight ? r.right - icon.width - r.left : 0);
            m_icon->drawAt({x - offset.x, r.top - offset.y},
                           m_reveal && revealLine == 0 ? &revealClip : &m_clippingRect, 0xFFFFFFFF);
        }
        if (m_vertical == zu::gui::EGUIA_CENTER)
        {
            const int32_t shift = zu::gui::alignmentOffset(zu::gui::EGUIA_CENTER, r.getHeight(),
                                                           int32_t(m_lines.size()) * lh);
            r.top += shift;
            r.bottom += shift;
        }
        // Colour codes carry over to the next line; image fonts have none.
        const bool carriesColor = dynamic_cast<CUnicodeFont*>(font) != nullptr;
        uint32_t lineColor = color;
        int32_t y = r.top;
        for (int32_t i = 0; i < int32_t(m_lines.size()); ++i)
        {
            const int32_t indent =
                m_icon && !m_iconRight && i < m_iconLines ? icon.width + ICON_GAP : 0;
            const bool revealing = m_reveal && i == revealLine;
            font->draw(m_lines[size_t(i)], {r.left + indent, y, r.right, r.bottom}, lineColor,
                       m_horizontal, zu::gui::EGUIA_UPPERLEFT,
                       revealing ? &revealClip : &m_clippingRect);
            if (carriesColor) lineColor = font->getLastColor();
            y += lh;
            if (revealing) break;
        }
    }
    else if (m_reveal)
        font->draw(m_text, r, color, zu::gui::EGUIA_CENTER, zu::gui::EGUIA_CENTER, &revealClip);
    else
    {
        if (m_offsetScrolling && m_horizontal == zu::gui::EGUIA_CENTER)
        {
            const int32_t textWidth = font->getDimension(m_text).width;
            if (textWidth > r.getWidth())
            {
                const int32_t offset = scrollOffset(r.getWidth(), textWidth, getTime());
                r.left += offset;
                r.right += offset;
            }
        }
        font->draw(m_text, r, color, m_horizontal, m_vertical, &m_clippingRect);
    }
    IGUIStaticText::draw();
}

} // namespace kelvo::gui
