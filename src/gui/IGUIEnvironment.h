// IGUIEnvironment: how the rest of the engine reaches the GUI. It is the root
// of the element tree, receives every device input event before anybody
// else, keeps the hovered and the focused element, draws the tree once per
// frame with the hovered element's tool-tip on top, owns the skin and the
// font registry and makes elements of every kind. The environment is
// created by the device once its video driver exists.
//
// The factories add the new element to the given parent (the root when it
// is null) and return it held only by that parent: callers that keep an
// element longer grab it. A factory whose kind does not exist yet returns
// null.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"
#include "video/SGeometry.h"

#include <cstdint>

namespace zu
{
class IOSOperator;
class ITimer;
} // namespace zu

namespace zu::event
{
class IEventReceiver;
struct SEngineEvent;
} // namespace zu::event

namespace zu::video
{
class IVideoDriver;
}

namespace zu::gui
{

class IGUIButton;
class IGUICheckBox;
class IGUIComboBox;
class IGUIContextMenu;
class IGUIDetachableFrame;
class IGUIEditBox;
class IGUIElement;
class IGUIFileOpenDialog;
class IGUIFont;
class IGUIImage;
class IGUIInOutFader;
class IGUILayout;
class IGUIListBox;
class IGUIModalScreen;
class IGUIPopupMenu;
class IGUIRadioList;
class IGUIScrollBar;
class IGUISkin;
class IGUIStaticText;
class IGUITab;
class IGUITabButtonRow;
class IGUITabControl;
class IGUITextButton;
class IGUIToolBar;
class IGUIWindow;
// A message box is a window with no operations of its own.
using IGUIMessageBox = IGUIWindow;

// Message box buttons, combined as flags.
enum EGUIMessageBoxFlag : int32_t
{
    EMBF_OK = 1,
    EMBF_CANCEL = 2,
    EMBF_YES = 4,
    EMBF_NO = 8
};

class IGUIEnvironment : public virtual IUnknown
{
  public:
    // Drops every top-level element; hover and focus are left alone.
    virtual void clear() = 0;
    // Draws every element; called once per frame by the host.
    virtual void drawAll() = 0;
    // No event goes to the new focus. Null only removes the focus.
    virtual void setFocus(IGUIElement* element) = 0;
    // When the element has the focus, it loses it and is told so, with the
    // root as the caller.
    virtual void removeFocus(IGUIElement* element) = 0;
    virtual bool hasFocus(const IGUIElement* element) const = 0;
    virtual IGUIElement* getFocus() const = 0;
    virtual IGUIElement* getHovered() const = 0;
    virtual video::IVideoDriver* getVideoDriver() const = 0;
    // The clock of blinking, reveal and scrolling; may be null.
    virtual ITimer* getTimer() const = 0;
    // The clipboard of the edit boxes; may be null.
    virtual IOSOperator* getOSOperator() const = 0;
    // True when the GUI consumed the event. Mouse positions are window
    // pixels; the GUI works in the driver's render pixels.
    virtual bool postEventFromUser(const event::SEngineEvent& event) = 0;
    // The receiver of the GUI events that reach the root; not grabbed.
    virtual void setUserEventReceiver(event::IEventReceiver* receiver) = 0;
    virtual IGUISkin* getSkin() const = 0;
    // The font of that file name, loaded on first request and kept until the
    // environment goes; null when it cannot be loaded. A name containing
    // ".fnt" is a sprite-package font, any other an image font. The registry
    // keeps the reference: callers that keep a font grab it.
    virtual IGUIFont* getFont(const core::CString& fileName) = 0;
    // The font built into the executable, or null when it could not be made.
    virtual IGUIFont* getBuiltInFont() const = 0;
    // In render pixels.
    virtual video::SPosition2i getLastMousePosition() const = 0;
    virtual IGUIElement* getRootGUIElement() = 0;
    // The parent of every tool-tip: it covers the screen, is drawn after the
    // tree and hands the events that reach it to the root.
    virtual IGUIElement* getHoverParent() const = 0;

    // A screen that swallows the input of everything behind it.
    virtual IGUIModalScreen* addModalScreen() = 0;
    // A non-empty caption becomes the element text.
    virtual IGUIButton* addButton(const video::SRecti& rectangle, IGUIElement* parent = nullptr,
                                  int32_t id = -1, const core::CString& caption = "") = 0;
    // Placed at (0, 0) and sized to its caption and images; a null font
    // means the skin font. The image names are used whole.
    virtual IGUITextButton* addTextButton(const core::CString& caption,
                                          const core::CString& markerImage,
                                          const core::CString& topImage, IGUIFont* font,
                                          uint32_t textColor, IGUIElement* parent = nullptr,
                                          int32_t id = -1) = 0;
    virtual IGUIWindow* addWindow(const video::SRecti& rectangle, bool modal,
                                  const core::CString& caption, IGUIElement* parent = nullptr,
                                  int32_t id = -1) = 0;
    // A window without a title bar.
    virtual IGUIWindow* addFrame(const video::SRecti& rectangle, IGUIElement* parent = nullptr,
                                 int32_t id = -1) = 0;
    virtual IGUIDetachableFrame* addDetachableFrame(const video::SRecti& rectangle,
                                                    IGUIElement* parent, int32_t id,
                                                    uint32_t fadeDelay, bool withMenuButton,
                                                    bool withCloseButton) = 0;
    // A plain layout: id -1, noClip.
    virtual IGUILayout* addLayout(const video::SRecti& rectangle,
                                  IGUIElement* parent = nullptr) = 0;
    // A frame around the text that shows above the element while it is
    // hovered, in the colour given or skin colour 11. Null for no element.
    virtual IGUIElement* addToolTip(IGUIElement* element, const core::CString& text,
                                    const uint32_t* color = nullptr) = 0;
    // flags: EGUIMessageBoxFlag values.
    virtual IGUIMessageBox* addMessageBox(const core::CString& caption, const core::CString& text,
                                          bool modal, int32_t flags, IGUIElement* parent = nullptr,
                                          int32_t id = -1) = 0;
    virtual IGUIScrollBar* addScrollBar(bool horizontal, const video::SRecti& rectangle,
                                        IGUIElement* parent = nullptr, int32_t id = -1) = 0;
    // The text becomes the element text.
    virtual IGUIImage* addImage(const video::SRecti& rectangle, IGUIElement* parent = nullptr,
                                int32_t id = -1, const core::CString& text = "") = 0;
    virtual IGUICheckBox* addCheckBox(bool checked, const video::SRecti& rectangle,
                                      IGUIElement* parent = nullptr, int32_t id = -1,
                                      const core::CString& text = "") = 0;
    virtual IGUIRadioList* addRadioList(const video::SRecti& rectangle,
                                        IGUIElement* parent = nullptr, int32_t id = -1) = 0;
    virtual IGUIListBox* addListBox(const video::SRecti& rectangle, IGUIElement* parent = nullptr,
                                    int32_t id = -1, bool border = false) = 0;
    virtual IGUIElement* addMeshViewer(const video::SRecti& rectangle,
                                       IGUIElement* parent = nullptr, int32_t id = -1,
                                       const core::CString& caption = "") = 0;
    virtual IGUIFileOpenDialog* addFileOpenDialog(const core::CString& title, bool modal,
                                                  IGUIElement* parent, int32_t id,
                                                  const core::CString& startFolder) = 0;
    // A text of (0, 0, 10, 15) arranged by its river keywords; the font
    // (null: the skin font) becomes its override font. Null without any font.
    virtual IGUIStaticText* addRiverStaticText(const core::CString& text,
                                               const core::CString& riverText,
                                               IGUIElement* parent = nullptr,
                                               IGUIFont* font = nullptr, int32_t id = -1) = 0;
    // A word-wrapped text of that width, as high as its lines. Null without
    // any font.
    virtual IGUIStaticText* addWrappedStaticText(const core::CString& text, int32_t width,
                                                 IGUIElement* parent = nullptr,
                                                 IGUIFont* font = nullptr, int32_t id = -1) = 0;
    // The prefix starts every line that wrapping pushes a long word onto.
    virtual IGUIStaticText* addStaticText(const core::CString& text, const video::SRecti& rectangle,
                                          bool border = false, bool wordWrap = true,
                                          IGUIElement* parent = nullptr, int32_t id = -1,
                                          const core::CString& continuationPrefix = "") = 0;
    virtual IGUIEditBox* addEditBox(const core::CString& text, const video::SRecti& rectangle,
                                    bool background = true, IGUIElement* parent = nullptr,
                                    int32_t id = -1) = 0;
    // A null rectangle covers the screen.
    virtual IGUIInOutFader* addInOutFader(const video::SRecti* rectangle = nullptr,
                                          IGUIElement* parent = nullptr, int32_t id = -1) = 0;
    virtual IGUITabControl* addTabControl(const video::SRecti& rectangle,
                                          IGUIElement* parent = nullptr, bool border = false,
                                          bool background = false, int32_t id = -1) = 0;
    virtual IGUITabButtonRow* addTabButtonRow(video::SPosition2i upperLeft, int32_t width,
                                              IGUIElement* parent = nullptr, int32_t id = -1) = 0;
    virtual IGUITab* addTab(const video::SRecti& rectangle, IGUIElement* parent = nullptr,
                            int32_t id = -1) = 0;
    virtual IGUIContextMenu* addContextMenu(const video::SRecti& rectangle,
                                            IGUIElement* parent = nullptr, int32_t id = -1) = 0;
    virtual IGUIContextMenu* addMenu(IGUIElement* parent = nullptr, int32_t id = -1) = 0;
    virtual IGUIToolBar* addToolBar(IGUIElement* parent = nullptr, int32_t id = -1) = 0;
    virtual IGUIComboBox* addComboBox(const video::SRecti& rectangle, IGUIElement* parent = nullptr,
                                      int32_t id = -1) = 0;
    // Null fonts mean the skin font.
    virtual IGUIPopupMenu* addPopupMenu(video::SPosition2i position, int32_t width,
                                        const core::CString& title, IGUIFont* titleFont,
                                        IGUIFont* itemFont, IGUIElement* parent = nullptr,
                                        int32_t id = -1) = 0;
    // Reports the presses and releases of every mouse button to its parent.
    virtual IGUILayout* addClickArea(const video::SRecti& rectangle, IGUIElement* parent = nullptr,
                                     int32_t id = -1) = 0;
};

} // namespace zu::gui
