#include "gui/CGUIMessageBox.h"

#include "gui/IGUIButton.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUISkin.h"
#include "gui/IGUIStaticText.h"

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;
using zu::video::SRecti;

namespace
{

// The flag of each button, in the order of m_buttons and of the skin's
// default texts.
constexpr int32_t kFlags[4] = {EMBF_OK, EMBF_CANCEL, EMBF_YES, EMBF_NO};
constexpr int32_t ENTER = 13;
constexpr int32_t ESCAPE = 27;

} // namespace

CGUIMessageBox::CGUIMessageBox(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                               const SRecti& rectangle, const zu::core::CString& caption,
                               const zu::core::CString& text, int32_t flags, bool ownScreen)
    : CGUIWindow(environment, parent, id, rectangle, false), m_ownScreen(ownScreen)
{
    setDebugName("CGUIMessageBox");
    environment->setFocus(nullptr);
    removeExtraTitleButtons();
    setText(caption);
    IGUISkin* skin = environment->getSkin();
    const int32_t bw = skin->getSize(6), bh = skin->getSize(7), s = skin->getSize(2);

    const int32_t top = s + bh / 2 + 2;
    IGUIStaticText* message = environment->addStaticText(
        text, {bw / 2, top, bw / 2 + m_clippingRect.getWidth() - bw, top + 1}, false, true, this,
        -1, "");
    m_message = message;
    m_message->grab();
    const int32_t textHeight = message->getTextHeight();
    const SRecti& placed = message->getRelativePosition();
    message->setRelativePosition({placed.left, placed.top, placed.right, placed.top + textHeight});

    const int32_t height = s + 2 + textHeight + int32_t(2.5 * bh);
    const int32_t parentHeight = m_parent ? m_parent->getRelativePosition().getHeight() : height;
    const int32_t y = (parentHeight - height) / 2;
    setRelativePosition({m_relativeRect.left, y, m_relativeRect.right, y + height});

    IGUILayout* row = environment->addLayout({0, 0, 50, bh + 2}, this);
    m_buttonLayout = row;
    m_buttonLayout->grab();
    // OK first, then Yes, No and Cancel.
    for (int index : {0, 2, 3, 1})
    {
        if (!(flags & kFlags[index])) continue;
        IGUIButton* button =
            environment->addButton({0, 0, bw, bh}, row, -1, skin->getDefaultText(index));
        button->grab();
        m_buttons[index] = button;
        if (index == 0) environment->setFocus(button);
    }
    row->sortHorizontally(5);
    sortVertically(5, true);
}

CGUIMessageBox::~CGUIMessageBox()
{
    for (IGUIButton*& button : m_buttons)
        zu::dropAndClear(button);
    zu::dropAndClear(m_buttonLayout);
    zu::dropAndClear(m_message);
}

IGUIButton* CGUIMessageBox::getButton(int32_t flag) const
{
    for (int i = 0; i < 4; ++i)
        if (kFlags[i] == flag) return m_buttons[i];
    return nullptr;
}

void CGUIMessageBox::answer(GUIEventType type)
{
    if (m_answered) return;
    m_answered = true;
    answerAndRemove(type, m_ownScreen);
}

bool CGUIMessageBox::onEvent(const SEngineEvent& event)
{
    if (event.type == GuiEvent && event.gui.eventType == GuiClicked)
    {
        const IGUIElement* caller = event.gui.caller;
        GUIEventType type = GuiModalInput;
        if (caller == m_buttons[0])
            type = GuiMessageBoxOk;
        else if (caller == m_buttons[2])
            type = GuiMessageBoxYes;
        else if (caller == m_buttons[3])
            type = GuiMessageBoxNo;
        else if (caller == m_buttons[1] || caller == getCloseButton())
            type = GuiMessageBoxCancel;
        if (caller && type != GuiModalInput)
        {
            answer(type);
            return true;
        }
    }
    // Keys that bubble up from the focused button answer too: a modal
    // screen above would swallow them before they were offered.
    if (event.type == KeyEvent && offerKeyEvent(event)) return true;
    return CGUIWindow::onEvent(event);
}

bool CGUIMessageBox::offerKeyEvent(const SEngineEvent& event)
{
    if (event.type != KeyEvent) return false;
    const SKeyEvent& key = event.key;
    if (key.key != ENTER && key.key != ESCAPE) return false;
    if (key.action == KeyPressed)
    {
        m_keyPending = true;
        return true;
    }
    if (key.action != KeyReleased || !m_keyPending) return false;
    m_keyPending = false;
    GUIEventType type;
    if (key.key == ENTER)
        type = m_buttons[2] ? GuiMessageBoxYes : GuiMessageBoxOk;
    else
        type = m_buttons[1] ? GuiMessageBoxCancel : GuiMessageBoxNo;
    const bool has =
        key.key == ENTER ? (m_buttons[2] || m_buttons[0]) : (m_buttons[1] || m_buttons[3]);
    if (has) answer(type);
    return true;
}

} // namespace kelvo::gui
