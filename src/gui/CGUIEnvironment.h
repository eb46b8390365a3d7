// CGUIEnvironment: the GUI of a device. It owns the skin and the font
// registry, makes the built-in font at creation and receives the device's
// input events first. The element tree hangs below it.
#pragma once

#include "gui/IGUIEnvironment.h"

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

class CGUIEnvironment : public zu::gui::IGUIEnvironment
{
public:
    // The name the built-in font is registered under.
    static constexpr const char* BUILT_IN_FONT_NAME = "#DefaultFont";
    // In the built-in font, the symbols drawn for the codes 2 to 9 follow the
    // 95 printable characters.
    static constexpr int32_t BUILT_IN_FIRST_SYMBOL = 95;

    // The file system is grabbed, the driver is borrowed; either may be null.
    CGUIEnvironment(zu::io::IFileSystem* fileSystem, zu::video::IVideoDriver* driver);
    ~CGUIEnvironment() override;

    // The environment holds no elements yet, so there is nothing to remove
    // or draw.
    void clear() override {}
    void drawAll() override {}
    zu::video::IVideoDriver* getVideoDriver() const override { return m_driver; }
    bool postEventFromUser(const zu::event::SEngineEvent& event) override;
    void setUserEventReceiver(zu::event::IEventReceiver* receiver) override
    {
        m_userReceiver = receiver;
    }
    zu::gui::IGUISkin* getSkin() const override;
    zu::gui::IGUIFont* getFont(const zu::core::CString& fileName) override;
    zu::gui::IGUIFont* getBuiltInFont() const override;
    zu::video::SPosition2i getLastMousePosition() const override { return m_lastMouse; }

    zu::event::IEventReceiver* getUserEventReceiver() const { return m_userReceiver; }

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

    zu::video::IVideoDriver* m_driver;
    zu::io::IFileSystem* m_fileSystem;
    zu::event::IEventReceiver* m_userReceiver = nullptr;
    // Sorted by name in byte order; one reference per font.
    std::vector<SFontEntry> m_fonts;
    CGUIFont* m_builtInFont = nullptr;
    CGUISkin* m_skin = nullptr;
    zu::video::SPosition2i m_lastMouse;
};

} // namespace kelvo::gui
