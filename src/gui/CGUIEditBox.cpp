#include "gui/CGUIEditBox.h"

#include "core/IOSOperator.h"
#include "gui/GUIFrames.h"
#include "gui/IGUIButton.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"
#include "video/IVideoDriver.h"

#include <algorithm>
#include <limits>

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;
using zu::video::SRecti;

namespace
{

// Virtual-key codes the box answers.
enum : uint32_t
{
    KEY_BACK = 8,
    KEY_TAB = 9,
    KEY_RETURN = 13,
    KEY_ESCAPE = 27,
    KEY_END = 35,
    KEY_HOME = 36,
    KEY_LEFT = 37,
    KEY_RIGHT = 39,
    KEY_DELETE = 46
};

} // namespace

CGUIEditBox::CGUIEditBox(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                         const SRecti& rectangle, const zu::core::CString& text, bool background)
    : IGUIEditBox(EGUIET_EDIT_BOX, environment, parent, id, rectangle), m_background(background)
{
    setDebugName("CGUIEditBox");
    m_text = text;
    m_osOperator = environment ? environment->getOSOperator() : nullptr;
    if (m_osOperator) m_osOperator->grab();
    layOutPieces();
    IGUISkin* skin = environment ? environment->getSkin() : nullptr;
    if (background && skin && skin->getSpritePackage())
        setImages(skin->getSpritePackage(), "EditBox");
}

CGUIEditBox::~CGUIEditBox()
{
    zu::dropAndClear(m_overrideFont);
    zu::dropAndClear(m_osOperator);
}

IGUIFont* CGUIEditBox::activeFont() const
{
    if (m_overrideFont) return m_overrideFont;
    IGUISkin* skin = m_environment ? m_environment->getSkin() : nullptr;
    return skin ? skin->getFont() : nullptr;
}

zu::core::CString CGUIEditBox::getDisplayedText() const
{
    return m_password ? zu::core::CString(std::string(m_text.size(), '*')) : m_text;
}

void CGUIEditBox::setText(const zu::core::CString& text)
{
    m_text = text;
    m_caret = length();
    m_scrollStart = 0;
    clearSelection();
}

void CGUIEditBox::grabFocus()
{
    m_blinkStart = getTime();
    m_environment->setFocus(this);
    m_selectionStart = 0;
    m_selectionEnd = length();
    m_caret = length();
}

void CGUIEditBox::setOverrideFont(IGUIFont* font)
{
    if (font) font->grab();
    zu::dropAndClear(m_overrideFont);
    m_overrideFont = font;
}

void CGUIEditBox::setOverrideColor(uint32_t color)
{
    m_overrideColor = color;
    m_overrideColorEnabled = true;
}

void CGUIEditBox::setMax(int32_t length)
{
    m_max = std::max(0, length);
    if (m_max == 0 || int32_t(m_text.size()) <= m_max) return;
    m_text = m_text.substr(0, size_t(m_max));
    // Nothing may point past the end of the shorter text.
    for (int32_t* index : {&m_caret, &m_selectionStart, &m_selectionEnd, &m_scrollStart})
        *index = std::min(*index, m_max);
}

void CGUIEditBox::setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix)
{
    m_images.load(package, prefix);
    if (!m_images.has(BACKGROUND))
    {
        layOutPieces();
        return;
    }
    // The background image sets the height; the ends are placed by the
    // layout that follows.
    SRecti r = m_relativeRect;
    r.bottom = r.top + m_images.size(BACKGROUND).height;
    setRelativePosition(r);
}

void CGUIEditBox::setRelativePosition(const SRecti& rectangle)
{
    IGUIEditBox::setRelativePosition(rectangle);
    layOutPieces();
}

void CGUIEditBox::layOutPieces()
{
    const int32_t w = m_relativeRect.getWidth(), h = m_relativeRect.getHeight();
    // Without a background image the box keeps the field frame's ends.
    if (!m_images.has(BACKGROUND))
    {
        m_leftRect = {0, 0, FRAME_INSET, h};
        m_backgroundRect = {FRAME_INSET, 0, w - FRAME_INSET, h};
        m_rightRect = {w - FRAME_INSET, 0, w, h};
        m_leftInset = FRAME_INSET;
        return;
    }
    const zu::core::SDimension2i left = m_images.size(LEFT);
    const zu::core::SDimension2i right = m_images.size(RIGHT);
    m_leftRect = {0, 0, left.width, left.height};
    m_rightRect = {w - right.width, 0, w, right.height};
    m_backgroundRect = {left.width, 0, w - right.width, m_images.size(BACKGROUND).height};
    m_leftInset = left.width;
}

void CGUIEditBox::selectionRange(int32_t& low, int32_t& high) const
{
    low = std::clamp(std::min(m_selectionStart, m_selectionEnd), 0, length());
    high = std::clamp(std::max(m_selectionStart, m_selectionEnd), 0, length());
}

void CGUIEditBox::replaceRange(int32_t low, int32_t high, const zu::core::CString& text)
{
    m_text = m_text.substr(0, size_t(low)) + text + m_text.substr(size_t(high));
    m_caret = low + int32_t(text.size());
}

void CGUIEditBox::moveCaret(int32_t to, bool select)
{
    if (select)
    {
        // The end of the selection that is not at the caret stays put.
        int32_t anchor = m_caret;
        if (hasSelection() && m_selectionEnd == m_caret)
            anchor = m_selectionStart;
        else if (hasSelection() && m_selectionStart == m_caret)
            anchor = m_selectionEnd;
        m_selectionStart = anchor;
        m_selectionEnd = to;
    }
    else
        clearSelection();
    m_caret = to;
    m_blinkStart = getTime();
}

int32_t CGUIEditBox::characterAt(int32_t x) const
{
    IGUIFont* font = activeFont();
    if (!font) return length();
    const zu::core::CString shown = getDisplayedText();
    const int32_t scrolled = font->getDimension(shown.substr(0, size_t(m_scrollStart))).width;
    const int32_t i =
        font->getCharacterFromPos(shown, x - m_absoluteRect.left - m_leftInset + scrolled);
    return i < 0 ? length() : i;
}

void CGUIEditBox::focusNeighbour(int32_t step)
{
    if (!m_parent) return;
    // The search covers the nearest ancestor that is more than a plain
    // layout, or the top layout.
    IGUIElement* scope = m_parent;
    while (scope->getType() == EGUIET_LAYOUT && scope->getParent())
        scope = scope->getParent();
    for (int64_t id = int64_t(m_id) + step;
         id >= std::numeric_limits<int32_t>::min() && id <= std::numeric_limits<int32_t>::max();
         id += step)
    {
        IGUIElement* found = scope->getElementFromId(int32_t(id), true);
        // A gap in the ids ends the search; other kinds are stepped over.
        if (!found) return;
        if (auto* box = dynamic_cast<IGUIEditBox*>(found))
        {
            box->grabFocus();
            return;
        }
    }
}

void CGUIEditBox::pressEnter()
{
    sendGUIEvent(GuiEditBoxEnter);
    if (m_associatedButton < 0) return;
    IGUIElement* found =
        m_environment->getRootGUIElement()->getElementFromId(m_associatedButton, true);
    if (auto* button = dynamic_cast<IGUIButton*>(found)) button->click();
}

void CGUIEditBox::keepCaretVisible()
{
    IGUIFont* font = activeFont();
    if (!font) return;
    const int32_t margin = font->getDimension("_ ").width;
    const int32_t width = m_absoluteRect.getWidth();
    const int32_t nearEdge = 2 * margin < width ? 2 * margin : width / 2;
    auto prefixWidth = [&](int32_t count)
    { return int64_t(font->getDimension(m_text.substr(0, size_t(count))).width); };
    const int64_t caretX = prefixWidth(m_caret) + margin;
    // Where the caret ends up when the view starts at that character; it
    // only moves left as the start moves right.
    auto caretAt = [&](int32_t start) { return caretX - prefixWidth(start); };
    // The view moves one character a round, at most this many rounds. A run
    // of rounds in one direction is found by halving, so that a long text
    // does not cost a measurement of all of it for every character.
    int64_t rounds = std::max<int64_t>(2 * int64_t(length()), 100);
    while (rounds > 0)
    {
        const int64_t x = caretAt(m_scrollStart);
        if (x > width && m_scrollStart < m_caret)
        {
            // The first start that brings the caret in; never past it.
            int32_t low = m_scrollStart + 1;
            int32_t high = int32_t(std::min<int64_t>(m_caret, m_scrollStart + rounds));
            while (low < high)
            {
                const int32_t mid = low + (high - low) / 2;
                if (caretAt(mid) <= width)
                    high = mid;
                else
                    low = mid + 1;
            }
            rounds -= low - m_scrollStart;
            m_scrollStart = low;
        }
        else if (x < nearEdge && m_scrollStart >= 1)
        {
            // The last start before this one that keeps the caret off the
            // near edge, or as far back as the rounds reach.
            int32_t low = int32_t(std::max<int64_t>(0, m_scrollStart - rounds));
            int32_t high = m_scrollStart - 1;
            while (low < high)
            {
                const int32_t mid = low + (high - low + 1) / 2;
                if (caretAt(mid) >= nearEdge)
                    low = mid;
                else
                    high = mid - 1;
            }
            rounds -= m_scrollStart - low;
            m_scrollStart = low;
        }
        else
            break;
    }
}

bool CGUIEditBox::onEvent(const SEngineEvent& event)
{
    if (!m_enabled) return IGUIEditBox::onEvent(event);
    switch (event.type)
    {
    case GuiEvent:
        if (event.gui.eventType != GuiFocusLost) break;
        m_mouseSelecting = false;
        clearSelection();
        return true;
    // Mouse and keys are the box's alone: they never go on to the parent.
    case MouseEvent:
        return onMouse(event.mouse);
    case KeyEvent:
    {
        // A handler of the box's reports may remove it.
        grab();
        const bool consumed = onKey(event.key);
        drop();
        return consumed;
    }
    default:
        break;
    }
    return IGUIEditBox::onEvent(event);
}

bool CGUIEditBox::onMouse(const SMouseEvent& mouse)
{
    const bool inside = isInside(m_absoluteRect, {mouse.x, mouse.y});
    switch (mouse.action)
    {
    case LeftDown:
        if (!inside) return false;
        if (!m_environment->hasFocus(this))
        {
            grabFocus();
            return true;
        }
        m_caret = characterAt(mouse.x);
        if (!m_mouseSelecting) m_selectionStart = m_caret;
        m_selectionEnd = m_caret;
        m_mouseSelecting = true;
        return true;
    case LeftUp:
        if (!m_environment->hasFocus(this) || (!inside && !m_mouseSelecting)) return false;
        m_caret = characterAt(mouse.x);
        if (m_mouseSelecting) m_selectionEnd = m_caret;
        m_mouseSelecting = false;
        return true;
    case MouseMoved:
        if (!m_mouseSelecting) return false;
        m_caret = m_selectionEnd = characterAt(mouse.x);
        return true;
    default:
        return false;
    }
}

bool CGUIEditBox::onKey(const SKeyEvent& key)
{
    if (key.action == KeyReleased) return false;
    bool changed = false;
    int32_t low, high;
    selectionRange(low, high);
    if (key.action == KeyPaste && m_osOperator)
    {
        const zu::core::CString pasted = m_osOperator->getTextFromClipboard();
        if (!pasted.empty())
        {
            if (hasSelection())
                replaceRange(low, high, pasted);
            else
                replaceRange(m_caret, m_caret, pasted);
            changed = true;
            m_blinkStart = getTime();
        }
        clearSelection();
    }
    else if (key.action == KeyPressed)
    {
        switch (key.key)
        {
        case KEY_BACK:
            if (m_text.empty()) break;
            if (hasSelection())
            {
                replaceRange(low, high, "");
                changed = true;
            }
            else if (m_caret > 0)
            {
                replaceRange(m_caret - 1, m_caret, "");
                changed = true;
            }
            m_blinkStart = getTime();
            clearSelection();
            break;
        case KEY_TAB:
            focusNeighbour(key.shift ? -1 : 1);
            break;
        case KEY_RETURN:
            pressEnter();
            return true;
        case KEY_ESCAPE:
            return false;
        case KEY_END:
            moveCaret(length(), key.shift);
            break;
        case KEY_HOME:
            moveCaret(0, key.shift);
            break;
        case KEY_LEFT:
            moveCaret(m_caret > 0 ? m_caret - 1 : m_caret, key.shift);
            break;
        case KEY_RIGHT:
            moveCaret(m_caret < length() ? m_caret + 1 : m_caret, key.shift);
            break;
        case KEY_DELETE:
            if (m_text.empty()) break;
            if (hasSelection())
            {
                replaceRange(low, high, "");
                changed = true;
            }
            else if (m_caret < length())
            {
                replaceRange(m_caret, m_caret + 1, "");
                changed = true;
            }
            m_blinkStart = getTime();
            clearSelection();
            break;
        default:
            break;
        }
    }
    else if (key.action == KeyCharacter && key.character >= FIRST_TYPED &&
             (m_max == 0 || length() < m_max))
    {
        // One byte a character: a code past 255 keeps its low byte.
        const char typed = char(key.character & 0xFF);
        if (hasSelection())
            replaceRange(low, high, zu::core::CString(&typed, 1));
        else
            replaceRange(m_caret, m_caret, zu::core::CString(&typed, 1));
        changed = true;
        m_blinkStart = getTime();
        clearSelection();
    }
    keepCaretVisible();
    if (changed) sendGUIEvent(GuiEditBoxChanged);
    return true;
}

void CGUIEditBox::draw()
{
    if (!m_visible) return;
    const bool focused = m_environment->hasFocus(this);
    zu::video::IVideoDriver* driver = m_environment->getVideoDriver();
    IGUISkin* skin = m_environment->getSkin();
    SRecti r = m_absoluteRect;
    auto absolute = [&](const SRecti& piece)
    {
        return SRecti{r.left + piece.left, r.top + piece.top, r.left + piece.right,
                      r.top + piece.bottom};
    };
    if (m_background)
    {
        if (!m_images.has(BACKGROUND))
            drawFieldFrame(driver, skin, r, &m_clippingRect);
        else
        {
            m_images.tile(BACKGROUND, absolute(m_backgroundRect), true, &m_clippingRect);
            m_images.draw(LEFT, {r.left + m_leftRect.left, r.top + m_leftRect.top},
                          &m_clippingRect);
            m_images.draw(RIGHT, {r.left + m_rightRect.left, r.top + m_rightRect.top},
                          &m_clippingRect);
        }
    }
    r.left += m_leftInset;
    IGUIFont* font = activeFont();
    if (!font)
    {
        IGUIEditBox::draw();
        return;
    }
    // Text scrolled out to the left stays off the box's left end.
    const SRecti clip = intersect(r, m_clippingRect);
    const zu::core::CString shown = getDisplayedText();
    auto widthOf = [&](int32_t from, int32_t to)
    { return font->getDimension(shown.substr(size_t(from), size_t(to - from))).width; };
    const int32_t scrollX = widthOf(0, m_scrollStart);
    const uint32_t normal = m_overrideColorEnabled ? m_overrideColor : skin->getColor(8);
    int32_t low, high;
    selectionRange(low, high);
    const bool selected = focused && low < high;
    if (selected)
    {
        const int32_t from = r.left + widthOf(0, low) - scrollX;
        driver->drawRectangle(skin->getColor(10),
                              {from, r.top + 2, from + widthOf(low, high), r.bottom - 2}, &clip);
    }
    if (focused && (getTime() - m_blinkStart) % BLINK_PERIOD < BLINK_PERIOD / 2)
        font->draw("_", {r.left + widthOf(0, m_caret) - scrollX, r.top, r.right, r.bottom}, normal,
                   EGUIA_UPPERLEFT, EGUIA_CENTER, &clip);
    if (!shown.empty())
    {
        const uint32_t color = m_overrideColorEnabled  ? m_overrideColor
                               : selected || m_enabled ? skin->getColor(8)
                                                       : skin->getColor(9);
        font->draw(shown, {r.left - scrollX, r.top, r.right, r.bottom}, color, EGUIA_UPPERLEFT,
                   EGUIA_CENTER, &clip);
        if (selected)
            font->draw(shown.substr(size_t(low), size_t(high - low)),
                       {r.left - scrollX + widthOf(0, low), r.top, r.right, r.bottom},
                       m_overrideColorEnabled ? m_overrideColor : skin->getColor(11),
                       EGUIA_UPPERLEFT, EGUIA_CENTER, &clip);
    }
    IGUIEditBox::draw();
}

} // namespace kelvo::gui
