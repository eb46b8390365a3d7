// CGUIEnvironment: the GUI of a device and the root of its element tree. It
// owns the skin and the font registry, makes the built-in font at creation,
// receives the device's input events first and routes them to the focused
// or the hovered element. The tree lays out against the driver's render
// size, so mouse positions are mapped from window pixels into it.
#pragma once

#include "gui/IGUIEnvironment.h"
#include "gui/IGUIHoverParent.h"
#include "gui/IGUILayout.h"

#include <vector>

namespace zu
{
namespace io
{
class IFileSystem;
}
} // namespace zu

namespace kelvo::gui
{

class CGUIFont;
class CGUISkin;

class CGUIEnvironment : public zu::gui::IGUIEnvironment, public zu::gui::IGUILayout
{
  public:
    // The name the built-in font is registered under.
    static constexpr const char* BUILT_IN_FONT_NAME = "#DefaultFont";
    // In the built-in font, the symbols drawn for the codes 2 to 9 follow the
    // 95 printable characters.
    static constexpr int32_t BUILT_IN_FIRST_SYMBOL = 95;
    // A tool-tip keeps this far from its element.
    static constexpr int32_t TOOL_TIP_GAP = 10;

    // The file system, the timer and the OS services are grabbed, the driver
    // is borrowed; any may be null.
    CGUIEnvironment(zu::io::IFileSystem* fileSystem, zu::video::IVideoDriver* driver,
                    zu::ITimer* timer = nullptr, zu::IOSOperator* osOperator = nullptr);
    ~CGUIEnvironment() override;

    void clear() override;
    void drawAll() override;
    void setFocus(zu::gui::IGUIElement* element) override;
    void removeFocus(zu::gui::IGUIElement* element) override;
    bool hasFocus(const zu::gui::IGUIElement* element) const override;
    zu::gui::IGUIElement* getFocus() const override { return m_focus; }
    zu::gui::IGUIElement* getHovered() const override { return m_hovered; }
    zu::video::IVideoDriver* getVideoDriver() const override { return m_driver; }
    zu::ITimer* getTimer() const override { return m_timer; }
    zu::IOSOperator* getOSOperator() const override { return m_osOperator; }
    bool postEventFromUser(const zu::event::SEngineEvent& event) override;
    void setUserEventReceiver(zu::event::IEventReceiver* receiver) override
    {
        m_userReceiver = receiver;
    }
    zu::gui::IGUISkin* getSkin() const override;
    zu::gui::IGUIFont* getFont(const zu::core::CString& fileName) override;
    zu::gui::IGUIFont* getBuiltInFont() const override;
    zu::video::SPosition2i getLastMousePosition() const override { return m_lastMouse; }
    zu::gui::IGUIElement* getRootGUIElement() override { return this; }
    zu::gui::IGUIElement* getHoverParent() const override { return m_hoverParent; }

    // The root element: adding or removing a top-level element forgets the
    // hovered and the focused element, without telling them.
    void addChild(zu::gui::IGUIElement* child) override;
    void removeChild(zu::gui::IGUIElement* child) override;
    // GUI events about elements other than the root go to the user receiver.
    bool onEvent(const zu::event::SEngineEvent& event) override;

    zu::gui::IGUIModalScreen* addModalScreen() override;
    zu::gui::IGUIButton* addButton(const zu::video::SRecti& rectangle, zu::gui::IGUIElement* parent,
                                   int32_t id, const zu::core::CString& caption) override;
    zu::gui::IGUITextButton* addTextButton(const zu::core::CString& caption,
                                           const zu::core::CString& markerImage,
                                           const zu::core::CString& topImage,
                                           zu::gui::IGUIFont* font, uint32_t textColor,
                                           zu::gui::IGUIElement* parent, int32_t id) override;
    zu::gui::IGUIWindow* addWindow(const zu::video::SRecti& rectangle, bool modal,
                                   const zu::core::CString& caption, zu::gui::IGUIElement* parent,
                                   int32_t id) override;
    zu::gui::IGUIWindow* addFrame(const zu::video::SRecti& rectangle, zu::gui::IGUIElement* parent,
                                  int32_t id) override;
    zu::gui::IGUIDetachableFrame* addDetachableFrame(const zu::video::SRecti& rectangle,
                                                     zu::gui::IGUIElement* parent, int32_t id,
                                                     uint32_t fadeDelay, bool withMenuButton,
                                                     bool withCloseButton) override;
    zu::gui::IGUILayout* addLayout(const zu::video::SRecti& rectangle,
                                   zu::gui::IGUIElement* parent) override;
    zu::gui::IGUIElement* addToolTip(zu::gui::IGUIElement* element, const zu::core::CString& text,
                                     const uint32_t* color) override;
    zu::gui::IGUIMessageBox* addMessageBox(const zu::core::CString& caption,
                                           const zu::core::CString& text, bool modal, int32_t flags,
                                           zu::gui::IGUIElement* parent, int32_t id) override;
    zu::gui::IGUIScrollBar* addScrollBar(bool horizontal, const zu::video::SRecti& rectangle,
                                         zu::gui::IGUIElement* parent, int32_t id) override;
    zu::gui::IGUIImage* addImage(const zu::video::SRecti& rectangle, zu::gui::IGUIElement* parent,
                                 int32_t id, const zu::core::CString& text) override;
    zu::gui::IGUICheckBox* addCheckBox(bool checked, const zu::video::SRecti& rectangle,
                                       zu::gui::IGUIElement* parent, int32_t id,
                                       const zu::core::CString& text) override;
    zu::gui::IGUIRadioList* addRadioList(const zu::video::SRecti& rectangle,
                                         zu::gui::IGUIElement* parent, int32_t id) override;
    zu::gui::IGUIListBox* addListBox(const zu::video::SRecti& rectangle,
                                     zu::gui::IGUIElement* parent, int32_t id,
                                     bool border) override;
    zu::gui::IGUIElement* addMeshViewer(const zu::video::SRecti& rectangle,
                                        zu::gui::IGUIElement* parent, int32_t id,
                                        const zu::core::CString& caption) override;
    zu::gui::IGUIFileOpenDialog* addFileOpenDialog(const zu::core::CString& title, bool modal,
                                                   zu::gui::IGUIElement* parent, int32_t id,
                                                   const zu::core::CString& startFolder) override;
    zu::gui::IGUIStaticText* addRiverStaticText(const zu::core::CString& text,
                                                const zu::core::CString& riverText,
                                                zu::gui::IGUIElement* parent,
                                                zu::gui::IGUIFont* font, int32_t id) override;
    zu::gui::IGUIStaticText* addWrappedStaticText(const zu::core::CString& text, int32_t width,
                                                  zu::gui::IGUIElement* parent,
                                                  zu::gui::IGUIFont* font, int32_t id) override;
    zu::gui::IGUIStaticText* addStaticText(const zu::core::CString& text,
                                           const zu::video::SRecti& rectangle, bool border,
                                           bool wordWrap, zu::gui::IGUIElement* parent, int32_t id,
                                           const zu::core::CString& continuationPrefix) override;
    zu::gui::IGUIEditBox* addEditBox(const zu::core::CString& text,
                                     const zu::video::SRecti& rectangle, bool background,
                                     zu::gui::IGUIElement* parent, int32_t id) override;
    zu::gui::IGUIInOutFader* addInOutFader(const zu::video::SRecti* rectangle,
                                           zu::gui::IGUIElement* parent, int32_t id) override;
    zu::gui::IGUITabControl* addTabControl(const zu::video::SRecti& rectangle,
                                           zu::gui::IGUIElement* parent, bool border,
                                           bool background, int32_t id) override;
    zu::gui::IGUITabButtonRow* addTabButtonRow(zu::video::SPosition2i upperLeft, int32_t width,
                                               zu::gui::IGUIElement* parent, int32_t id) override;
    zu::gui::IGUITab* addTab(const zu::video::SRecti& rectangle, zu::gui::IGUIElement* parent,
                             int32_t id) override;
    zu::gui::IGUIContextMenu* addContextMenu(const zu::video::SRecti& rectangle,
                                             zu::gui::IGUIElement* parent, int32_t id) override;
    zu::gui::IGUIContextMenu* addMenu(zu::gui::IGUIElement* parent, int32_t id) override;
    zu::gui::IGUIToolBar* addToolBar(zu::gui::IGUIElement* parent, int32_t id) override;
    zu::gui::IGUIComboBox* addComboBox(const zu::video::SRecti& rectangle,
                                       zu::gui::IGUIElement* parent, int32_t id) override;
    zu::gui::IGUIPopupMenu* addPopupMenu(zu::video::SPosition2i position, int32_t width,
                                         const zu::core::CString& title,
                                         zu::gui::IGUIFont* titleFont, zu::gui::IGUIFont* itemFont,
                                         zu::gui::IGUIElement* parent, int32_t id) override;
    zu::gui::IGUILayout* addClickArea(const zu::video::SRecti& rectangle,
                                      zu::gui::IGUIElement* parent, int32_t id) override;

    zu::event::IEventReceiver* getUserEventReceiver() const { return m_userReceiver; }
    // A window position in render pixels.
    zu::video::SPosition2i toRenderPixels(int32_t x, int32_t y) const;

  private:
    struct SFontEntry
    {
        zu::core::CString name;
        zu::gui::IGUIFont* font;
    };

    // Loads a font that is not registered yet; null on failure.
    zu::gui::IGUIFont* loadFont(const zu::core::CString& fileName);
    void addFont(const zu::core::CString& fileName, zu::gui::IGUIFont* font);
    void makeBuiltInFont();

    // The parent a factory adds to: the given one, else the root.
    zu::gui::IGUIElement* parentOr(zu::gui::IGUIElement* parent) { return parent ? parent : this; }
    // The factory's font, else the skin font.
    zu::gui::IGUIFont* fontOr(zu::gui::IGUIFont* font) const;
    // The references the environment holds to the hovered and the focused
    // element; none to itself, which would keep it alive for ever.
    void keep(zu::gui::IGUIElement* element);
    void letGo(zu::gui::IGUIElement* element);
    // Hands the element an event about itself, keeping it alive meanwhile.
    static bool tell(zu::gui::IGUIElement* element, const zu::event::SEngineEvent& event);
    void updateHover(zu::video::SPosition2i point);
    void forgetHoverAndFocus();
    // Centred above the hovered element, below it when there is no room
    // above, and moved sideways to stay on the screen.
    void placeToolTip(zu::gui::IGUIElement* element, zu::gui::IGUIElement* frame);
    bool onMouse(zu::event::SEngineEvent event);
    bool onKey(const zu::event::SEngineEvent& event);

    zu::video::IVideoDriver* m_driver;
    zu::io::IFileSystem* m_fileSystem;
    zu::ITimer* m_timer;
    zu::IOSOperator* m_osOperator;
    zu::event::IEventReceiver* m_userReceiver = nullptr;
    // Sorted by name in byte order; one reference per font.
    std::vector<SFontEntry> m_fonts;
    CGUIFont* m_builtInFont = nullptr;
    CGUISkin* m_skin = nullptr;
    zu::video::SPosition2i m_lastMouse;
    // One reference each (see keep).
    zu::gui::IGUIElement* m_hovered = nullptr;
    zu::gui::IGUIElement* m_focus = nullptr;
    zu::gui::IGUIHoverParent* m_hoverParent = nullptr;
};

} // namespace kelvo::gui
