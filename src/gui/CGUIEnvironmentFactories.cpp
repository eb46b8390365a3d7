// The environment's factories. Each new element is made with its parent,
// which keeps it; the creation reference is given up before it is returned.
#include "gui/BreakText.h"
#include "gui/CClickArea.h"
#include "gui/CGUIButton.h"
#include "gui/CGUICheckBox.h"
#include "gui/CGUIComboBox.h"
#include "gui/CGUIContextMenu.h"
#include "gui/CGUIDetachableFrame.h"
#include "gui/CGUIEditBox.h"
#include "gui/CGUIEnvironment.h"
#include "gui/CGUIFileOpenDialog.h"
#include "gui/CGUIImage.h"
#include "gui/CGUIInOutFader.h"
#include "gui/CGUILayout.h"
#include "gui/CGUIListBox.h"
#include "gui/CGUIMenu.h"
#include "gui/CGUIMessageBox.h"
#include "gui/CGUIModalScreen.h"
#include "gui/CGUIPopupMenu.h"
#include "gui/CGUIRadioList.h"
#include "gui/CGUIScrollBar.h"
#include "gui/CGUISkin.h"
#include "gui/CGUIStaticText.h"
#include "gui/CGUITab.h"
#include "gui/CGUITabButtonRow.h"
#include "gui/CGUITabControl.h"
#include "gui/CGUITextButton.h"
#include "gui/CGUIToolBar.h"
#include "video/IVideoDriver.h"
#include "gui/CGUIWindow.h"

namespace kelvo::gui
{

using namespace zu::gui;

namespace
{

// Gives up the creation reference: the parent holds the element now.
template <class T> T* handOver(T* element)
{
    element->drop();
    return element;
}

} // namespace

IGUIButton* CGUIEnvironment::addButton(const zu::video::SRecti& rectangle, IGUIElement* parent,
                                       int32_t id, const zu::core::CString& caption)
{
    return handOver(new CGUIButton(this, parentOr(parent), id, rectangle, caption));
}

IGUITextButton* CGUIEnvironment::addTextButton(const zu::core::CString& caption,
                                               const zu::core::CString& markerImage,
                                               const zu::core::CString& topImage, IGUIFont* font,
                                               uint32_t textColor, IGUIElement* parent, int32_t id)
{
    return handOver(new CGUITextButton(this, parentOr(parent), id, caption, markerImage, topImage,
                                       font, textColor));
}

IGUIWindow* CGUIEnvironment::addFrame(const zu::video::SRecti& rectangle, IGUIElement* parent,
                                      int32_t id)
{
    return handOver(new CGUIWindow(this, parentOr(parent), id, rectangle, true));
}

IGUILayout* CGUIEnvironment::addLayout(const zu::video::SRecti& rectangle, IGUIElement* parent)
{
    auto* layout = new CGUILayout(this, parentOr(parent), -1, rectangle);
    layout->setNoClip(true);
    return handOver(layout);
}

IGUIElement* CGUIEnvironment::addToolTip(IGUIElement* element, const zu::core::CString& text,
                                         const uint32_t* color)
{
    if (!element) return nullptr;
    IGUIFont* font = m_skin->getFont();
    const zu::core::SDimension2i size = font ? font->getDimension(text) : zu::core::SDimension2i{};
    // Two pixels of frame around the text on every side.
    auto* frame =
        new CGUIWindow(this, m_hoverParent, -1, {0, 0, size.width + 4, size.height + 4}, true);
    auto* label = new CGUIStaticText(this, frame, -1, {2, 2, 2 + size.width, 2 + size.height}, text,
                                     false, false, "");
    label->setOverrideColor(color ? *color : m_skin->getColor(11));
    label->drop();
    element->setToolTip(frame);
    return handOver(frame);
}

IGUIImage* CGUIEnvironment::addImage(const zu::video::SRecti& rectangle, IGUIElement* parent,
                                     int32_t id, const zu::core::CString& text)
{
    auto* image = new CGUIImage(this, parentOr(parent), id, rectangle);
    image->setText(text);
    return handOver(image);
}

IGUICheckBox* CGUIEnvironment::addCheckBox(bool checked, const zu::video::SRecti& rectangle,
                                           IGUIElement* parent, int32_t id,
                                           const zu::core::CString& text)
{
    return handOver(new CGUICheckBox(this, parentOr(parent), id, rectangle, checked, text));
}

IGUIRadioList* CGUIEnvironment::addRadioList(const zu::video::SRecti& rectangle,
                                             IGUIElement* parent, int32_t id)
{
    return handOver(new CGUIRadioList(this, parentOr(parent), id, rectangle));
}

IGUIStaticText* CGUIEnvironment::addRiverStaticText(const zu::core::CString& text,
                                                    const zu::core::CString& riverText,
                                                    IGUIElement* parent, IGUIFont* font, int32_t id)
{
    font = fontOr(font);
    if (!font) return nullptr;
    auto* label =
        new CGUIStaticText(this, parentOr(parent), id, {0, 0, 10, 15}, text, false, false, "");
    label->setRiverText(riverText);
    label->setOverrideFont(font);
    return handOver(label);
}

IGUIStaticText* CGUIEnvironment::addWrappedStaticText(const zu::core::CString& text, int32_t width,
                                                      IGUIElement* parent, IGUIFont* font,
                                                      int32_t id)
{
    font = fontOr(font);
    if (!font) return nullptr;
    std::vector<zu::core::CString> lines;
    breakText(text, "", font, width, lines);
    const int32_t height = int32_t(lines.size()) * font->getDimension("A").height;
    auto* label = new CGUIStaticText(this, parentOr(parent), id, {0, 0, width, height}, text, false,
                                     true, "");
    label->setOverrideFont(font);
    return handOver(label);
}

IGUIStaticText* CGUIEnvironment::addStaticText(const zu::core::CString& text,
                                               const zu::video::SRecti& rectangle, bool border,
                                               bool wordWrap, IGUIElement* parent, int32_t id,
                                               const zu::core::CString& continuationPrefix)
{
    return handOver(new CGUIStaticText(this, parentOr(parent), id, rectangle, text, border,
                                       wordWrap, continuationPrefix));
}

IGUIScrollBar* CGUIEnvironment::addScrollBar(bool horizontal, const zu::video::SRecti& rectangle,
                                             IGUIElement* parent, int32_t id)
{
    return handOver(new CGUIScrollBar(this, parentOr(parent), id, rectangle, horizontal));
}

IGUIListBox* CGUIEnvironment::addListBox(const zu::video::SRecti& rectangle, IGUIElement* parent,
                                         int32_t id, bool border)
{
    return handOver(new CGUIListBox(this, parentOr(parent), id, rectangle, border, false));
}

IGUIEditBox* CGUIEnvironment::addEditBox(const zu::core::CString& text,
                                         const zu::video::SRecti& rectangle, bool background,
                                         IGUIElement* parent, int32_t id)
{
    return handOver(new CGUIEditBox(this, parentOr(parent), id, rectangle, text, background));
}

IGUILayout* CGUIEnvironment::addClickArea(const zu::video::SRecti& rectangle, IGUIElement* parent,
                                          int32_t id)
{
    return handOver(new CClickArea(this, parentOr(parent), id, rectangle));
}

IGUIModalScreen* CGUIEnvironment::addModalScreen()
{
    return handOver(new CGUIModalScreen(this, this, -1));
}

IGUIWindow* CGUIEnvironment::addWindow(const zu::video::SRecti& rectangle, bool modal,
                                       const zu::core::CString& caption, IGUIElement* parent,
                                       int32_t id)
{
    parent = parentOr(parent);
    if (modal) parent = handOver(new CGUIModalScreen(this, parent, -1));
    auto* window = new CGUIWindow(this, parent, id, rectangle, false);
    if (!caption.empty()) window->setText(caption);
    return handOver(window);
}

IGUIDetachableFrame* CGUIEnvironment::addDetachableFrame(const zu::video::SRecti& rectangle,
                                                         IGUIElement* parent, int32_t id,
                                                         uint32_t fadeDelay, bool withMenuButton,
                                                         bool withCloseButton)
{
    return handOver(new CGUIDetachableFrame(this, parentOr(parent), id, rectangle, fadeDelay,
                                            withMenuButton, withCloseButton));
}

IGUIMessageBox* CGUIEnvironment::addMessageBox(const zu::core::CString& caption,
                                               const zu::core::CString& text, bool modal,
                                               int32_t flags, IGUIElement* parent, int32_t id)
{
    if (!m_skin) return nullptr;
    parent = parentOr(parent);
    if (modal) parent = handOver(new CGUIModalScreen(this, parent, -1));
    const zu::video::SRecti& area = parent->getRelativePosition();
    const int32_t width = m_skin->getSize(4), height = m_skin->getSize(5);
    const int32_t x = (area.getWidth() - width) / 2, y = (area.getHeight() - height) / 2;
    return handOver(new CGUIMessageBox(this, parent, id, {x, y, x + width, y + height}, caption,
                                       text, flags, modal));
}

IGUIElement* CGUIEnvironment::addMeshViewer(const zu::video::SRecti&, IGUIElement*, int32_t,
                                            const zu::core::CString&)
{
    // Meshes are shown through the scene, not the GUI.
    return nullptr;
}

IGUIFileOpenDialog* CGUIEnvironment::addFileOpenDialog(const zu::core::CString& title, bool modal,
                                                       IGUIElement* parent, int32_t id,
                                                       const zu::core::CString& startFolder)
{
    parent = parentOr(parent);
    if (modal) parent = handOver(new CGUIModalScreen(this, parent, -1));
    return handOver(
        new CGUIFileOpenDialog(this, parent, id, title, m_fileSystem, startFolder, modal));
}

IGUIInOutFader* CGUIEnvironment::addInOutFader(const zu::video::SRecti* rectangle,
                                               IGUIElement* parent, int32_t id)
{
    zu::video::SRecti area;
    if (rectangle)
        area = *rectangle;
    else if (m_driver)
        area = {0, 0, m_driver->getRenderSize().width, m_driver->getRenderSize().height};
    return handOver(new CGUIInOutFader(this, parentOr(parent), id, area));
}

IGUITabControl* CGUIEnvironment::addTabControl(const zu::video::SRecti& rectangle,
                                               IGUIElement* parent, bool border, bool background,
                                               int32_t id)
{
    return handOver(new CGUITabControl(this, parentOr(parent), id, rectangle, border, background));
}

IGUITabButtonRow* CGUIEnvironment::addTabButtonRow(zu::video::SPosition2i upperLeft, int32_t width,
                                                   IGUIElement* parent, int32_t id)
{
    return handOver(
        new CGUITabButtonRow(this, parentOr(parent), id,
                             {upperLeft.x, upperLeft.y, upperLeft.x + width, upperLeft.y + 20}));
}

IGUITab* CGUIEnvironment::addTab(const zu::video::SRecti& rectangle, IGUIElement* parent,
                                 int32_t id)
{
    return handOver(new CGUITab(this, parentOr(parent), id, rectangle));
}

IGUIContextMenu* CGUIEnvironment::addContextMenu(const zu::video::SRecti& rectangle,
                                                 IGUIElement* parent, int32_t id)
{
    return handOver(new CGUIContextMenu(this, parentOr(parent), id, rectangle));
}

IGUIContextMenu* CGUIEnvironment::addMenu(IGUIElement* parent, int32_t id)
{
    return handOver(new CGUIMenu(this, parentOr(parent), id));
}

IGUIToolBar* CGUIEnvironment::addToolBar(IGUIElement* parent, int32_t id)
{
    return handOver(new CGUIToolBar(this, parentOr(parent), id));
}

IGUIComboBox* CGUIEnvironment::addComboBox(const zu::video::SRecti& rectangle, IGUIElement* parent,
                                           int32_t id)
{
    return handOver(new CGUIComboBox(this, parentOr(parent), id, rectangle));
}

IGUIPopupMenu* CGUIEnvironment::addPopupMenu(zu::video::SPosition2i position, int32_t width,
                                             const zu::core::CString& title, IGUIFont* titleFont,
                                             IGUIFont* itemFont, IGUIElement* parent, int32_t id)
{
    return handOver(new CGUIPopupMenu(this, parentOr(parent), id, position, width, title,
                                      fontOr(titleFont), fontOr(itemFont)));
}

} // namespace kelvo::gui
