#include "gui/CGUIWindow.h"

#include "gui/CGUIButton.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"
#include "video/ISpritePackage.h"
#include "video/IVideoDriver.h"

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;
using zu::video::SRecti;

CGUIWindow::CGUIWindow(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                       const SRecti& rectangle, bool isFrame)
    : IGUIWindow(EGUIET_WINDOW, environment, parent, id, rectangle), m_isFrame(isFrame)
{
    setDebugName("CGUIWindow");
    IGUISkin* skin = environment ? environment->getSkin() : nullptr;
    zu::video::ISpritePackage* package = skin ? skin->getSpritePackage() : nullptr;
    // A skin with frame images but no window images draws windows as frames.
    if (!m_isFrame && package && package->hasAnimation("FrameBackground") &&
        !package->hasAnimation("WindowBackground"))
        m_isFrame = true;
    if (!m_isFrame && environment)
    {
        const char captions[3] = {3, 2, 4};
        for (int i = 0; i < 3; ++i)
        {
            // The tree holds one reference, the window keeps the creation one.
            auto* button = new CGUIButton(environment, this, -1, {0, 0, 100, 20},
                                          zu::core::CString(&captions[i], 1));
            button->setOverrideFont(environment->getBuiltInFont());
            button->setFixed(true);
            button->setVisible(i == 0);
            m_buttons[i] = button;
        }
    }
    if (package)
        setImages(package, m_isFrame ? "Frame" : "Window");
    else
        layOut();
}

CGUIWindow::~CGUIWindow()
{
    for (CGUIButton*& button : m_buttons)
        zu::dropAndClear(button);
}

IGUIButton* CGUIWindow::getCloseButton() const
{
    return m_buttons[0];
}

IGUIButton* CGUIWindow::getSecondTitleButton() const
{
    return m_buttons[1];
}

IGUIButton* CGUIWindow::getThirdTitleButton() const
{
    return m_buttons[2];
}

void CGUIWindow::removeExtraTitleButtons()
{
    for (int i = 1; i < 3; ++i)
        if (m_buttons[i])
        {
            m_buttons[i]->remove();
            zu::dropAndClear(m_buttons[i]);
        }
}

void CGUIWindow::setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix)
{
    m_pieces.load(package, prefix);
    layOut();
}

void CGUIWindow::setRelativePosition(const SRecti& rectangle)
{
    IGUIWindow::setRelativePosition(rectangle);
    layOut();
}

void CGUIWindow::layOut()
{
    const int32_t W = m_relativeRect.getWidth();
    m_pieces.layOut(W, m_relativeRect.getHeight());
    CGUIButton* close = m_buttons[0];
    if (!close) return;
    // A close button without images is as wide as the title bar is high.
    if (!close->hasImages())
    {
        const int32_t size = m_environment->getSkin()->getSize(2);
        close->setRelativePosition({0, 0, size, size});
    }
    const int32_t t = close->getRelativePosition().getWidth();
    const int32_t h = close->getRelativePosition().getHeight();
    for (int i = 0; i < 3; ++i)
        if (m_buttons[i])
        {
            const int32_t right = W - 4 - i * (t + 2);
            m_buttons[i]->setRelativePosition({right - t, 3, right, 3 + h});
        }
    // With a border image the close button sits in the top right piece.
    if (m_pieces.has(CGUIFramePieces::TOP_RIGHT))
    {
        const zu::core::SDimension2i corner = m_pieces.size(CGUIFramePieces::TOP_RIGHT);
        close->moveTo(W - t - corner.width, (corner.height - h) / 2);
    }
}

SRecti CGUIWindow::getContentArea() const
{
    if (m_pieces.has(CGUIFramePieces::BACKGROUND))
        return m_pieces.rect(CGUIFramePieces::BACKGROUND);
    const int32_t W = m_relativeRect.getWidth(), H = m_relativeRect.getHeight();
    if (m_isFrame) return {0, 0, W, H};
    // Inside the border, below the title bar.
    return {2, m_environment->getSkin()->getSize(2) + 4, W - 2, H - 2};
}

SRecti CGUIWindow::captionRect() const
{
    if (m_pieces.has(CGUIFramePieces::BACKGROUND)) return m_pieces.captionRect(m_absoluteRect);
    const SRecti& r = m_absoluteRect;
    const int32_t button = m_environment->getSkin()->getSize(2);
    return {r.left + 4, r.top + 2, r.right - 2 - button - 5, r.top + 2 + button + 2};
}

bool CGUIWindow::onEvent(const SEngineEvent& event)
{
    if (m_eventHook && !m_dragging && m_eventHook->onEvent(event)) return true;
    if (event.type == GuiEvent)
    {
        if (event.gui.eventType == GuiFocusLost)
        {
            m_dragging = false;
            return true;
        }
        if (event.gui.eventType == GuiClicked && m_buttons[0] && event.gui.caller == m_buttons[0])
        {
            setVisible(false);
            sendGUIEvent(GuiHidden);
            return true;
        }
    }
    else if (event.type == MouseEvent)
    {
        const zu::video::SPosition2i point = {event.mouse.x, event.mouse.y};
        switch (event.mouse.action)
        {
        case LeftDown:
            m_dragPoint = point;
            if (m_environment->hasFocus(this) || m_isFrame)
                return m_isFrame ? IGUIWindow::onEvent(event) : false;
            {
                const SRecti& top = m_pieces.rect(CGUIFramePieces::TOP);
                const zu::video::SPosition2i local = {point.x - m_absoluteRect.left,
                                                      point.y - m_absoluteRect.top};
                if (!m_pieces.has(CGUIFramePieces::TOP) || isInside(top, local))
                {
                    m_dragging = true;
                    m_environment->setFocus(this);
                    if (m_parent) m_parent->bringToFront(this);
                }
            }
            // The element under the mouse still gets the press.
            return false;
        case LeftUp:
            m_dragging = false;
            m_environment->removeFocus(this);
            return m_isFrame ? IGUIWindow::onEvent(event) : false;
        case MouseMoved:
            if (!m_dragging) break;
            move(point.x - m_dragPoint.x, point.y - m_dragPoint.y);
            m_dragPoint = point;
            return true;
        default:
            break;
        }
    }
    return IGUIWindow::onEvent(event);
}

void CGUIWindow::draw()
{
    if (!m_visible) return;
    zu::video::IVideoDriver* driver = m_environment->getVideoDriver();
    IGUISkin* skin = m_environment->getSkin();
    const SRecti& r = m_absoluteRect;
    const SRecti* clip = &m_clippingRect;
    if (m_pieces.has(CGUIFramePieces::BACKGROUND))
        m_pieces.draw({r.left, r.top}, clip, 0xFFFFFFFF);
    else
    {
        auto fill = [&](int32_t color, SRecti rect)
        { driver->drawRectangle(skin->getColor(color), rect, clip); };
        fill(3, {r.left, r.top, r.right, r.top + 1});
        fill(3, {r.left, r.top, r.left + 1, r.bottom});
        fill(0, {r.right - 1, r.top, r.right, r.bottom});
        fill(1, {r.right - 2, r.top + 1, r.right - 1, r.bottom - 1});
        fill(0, {r.left, r.bottom - 1, r.right, r.bottom});
        fill(1, {r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1});
        fill(2, {r.left + 1, r.top + 1, r.right - 2, r.bottom - 2});
        const int32_t button = skin->getSize(2);
        fill(5, {r.left + 2, r.top + 2, r.right - 2, r.top + 2 + button + 2});
    }
    IGUIFont* font = skin->getFont();
    if (!m_isFrame && !m_text.empty() && font)
    {
        const SRecti caption = captionRect();
        const SRecti captionClip = intersect(caption, m_clippingRect);
        font->draw(m_text, caption, skin->getColor(6), EGUIA_UPPERLEFT, EGUIA_CENTER, &captionClip);
    }
    IGUIWindow::draw();
}

void CGUIWindow::answerAndRemove(GUIEventType type, bool withScreen)
{
    grab();
    IGUIElement* screen = withScreen ? m_parent : nullptr;
    if (screen) screen->grab();
    sendGUIEvent(type);
    if (screen && getParent() == screen)
        screen->remove();
    else
        remove();
    if (screen) screen->drop();
    drop();
}

} // namespace kelvo::gui
