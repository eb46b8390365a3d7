// The environment's factories. Each new element is made with its parent,
// which keeps it; the creation reference is given up before it is returned.
#include "gui/BreakText.h"
#include "gui/CClickArea.h"
#include "gui/CGUIButton.h"
#include "gui/CGUICheckBox.h"
#include "gui/CGUIEditBox.h"
#include "gui/CGUIEnvironment.h"
#include "gui/CGUIImage.h"
#include "gui/CGUILayout.h"
#include "gui/CGUIListBox.h"
#include "gui/CGUIRadioList.h"
#include "gui/CGUIScrollBar.h"
#include "gui/CGUISkin.h"
#include "gui/CGUIStaticText.h"
#include "gui/CGUITextButton.h"
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

// The kinds below come with the container widgets; until then there is
// nothing to make.

IGUIModalScreen* CGUIEnvironment::addModalScreen()
{
    return nullptr;
}

IGUIWindow* CGUIEnvironment::addWindow(const zu::video::SRecti&, bool, const zu::core::CString&,
                                       IGUIElement*, int32_t)
{
    return nullptr;
}

IGUIDetachableFrame* CGUIEnvironment::addDetachableFrame(const zu::video::SRecti&, IGUIElement*,
                                                         int32_t, uint32_t, bool, bool)
{
    return nullptr;
}

IGUIMessageBox* CGUIEnvironment::addMessageBox(const zu::core::CString&, const zu::core::CString&,
                                               bool, int32_t, IGUIElement*, int32_t)
{
    return nullptr;
}

IGUIElement* CGUIEnvironment::addMeshViewer(const zu::video::SRecti&, IGUIElement*, int32_t,
                                            const zu::core::CString&)
{
    return nullptr;
}

IGUIFileOpenDialog* CGUIEnvironment::addFileOpenDialog(const zu::core::CString&, bool, IGUIElement*,
                                                       int32_t, const zu::core::CString&)
{
    return nullptr;
}

IGUIInOutFader* CGUIEnvironment::addInOutFader(const zu::video::SRecti*, IGUIElement*, int32_t)
{
    return nullptr;
}

IGUITabControl* CGUIEnvironment::addTabControl(const zu::video::SRecti&, IGUIElement*, bool, bool,
                                               int32_t)
{
    return nullptr;
}

IGUITabButtonRow* CGUIEnvironment::addTabButtonRow(zu::video::SPosition2i, int32_t, IGUIElement*,
                                                   int32_t)
{
    return nullptr;
}

IGUITab* CGUIEnvironment::addTab(const zu::video::SRecti&, IGUIElement*, int32_t)
{
    return nullptr;
}

IGUIContextMenu* CGUIEnvironment::addContextMenu(const zu::video::SRecti&, IGUIElement*, int32_t)
{
    return nullptr;
}

IGUIContextMenu* CGUIEnvironment::addMenu(IGUIElement*, int32_t)
{
    return nullptr;
}

IGUIToolBar* CGUIEnvironment::addToolBar(IGUIElement*, int32_t)
{
    return nullptr;
}

IGUIComboBox* CGUIEnvironment::addComboBox(const zu::video::SRecti&, IGUIElement*, int32_t)
{
    return nullptr;
}

IGUIPopupMenu* CGUIEnvironment::addPopupMenu(zu::video::SPosition2i, int32_t,
                                             const zu::core::CString&, IGUIFont*, IGUIFont*,
                                             IGUIElement*, int32_t)
{
    return nullptr;
}

} // namespace kelvo::gui
