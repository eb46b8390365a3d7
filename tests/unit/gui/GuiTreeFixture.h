// The fixture of the element tree and widget tests: an environment on a
// driver that writes down its rectangles and images, a clock the test sets,
// a clipboard the test fills, a monospaced test font as the skin font (every
// character 6 x 10), a log of the GUI events that reach the user receiver,
// and mouse and key input posted as the device posts it.
#pragma once

#include "GuiPackageSupport.h"
#include "GuiTestSupport.h"

#include "core/IOSOperator.h"
#include "core/ITimer.h"
#include "event/IEventReceiver.h"
#include "gui/CGUIButton.h"
#include "gui/CGUIEnvironment.h"
#include "gui/CGUIFont.h"
#include "gui/IGUISkin.h"
#include "io/CFileSystem.h"

#include <functional>
#include <string>
#include <vector>

// Rectangles compare and print in the tests.
namespace zu::video
{
inline bool operator==(const SRecti& a, const SRecti& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const SRecti& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
} // namespace zu::video

namespace guitest
{

class CFakeTimer : public zu::ITimer
{
  public:
    uint32_t getRealTime() const override { return now; }
    double getSeconds() const override { return now * 0.001; }

    uint32_t now = 0;
};

// OS services with nothing but a clipboard, which counts how often it is
// read.
class CFakeClipboard : public zu::IOSOperator
{
  public:
    zu::core::CString getOperatingSystemVersion() const override { return "test"; }
    void copyToClipboard(const zu::core::CString& text) override { clipboard = text; }
    zu::core::CString getTextFromClipboard() override
    {
        ++reads;
        return clipboard;
    }
    zu::core::CString getComputerName() override { return "test"; }
    int32_t getRegistryValue(bool, const zu::core::CString&, const zu::core::CString&) override
    {
        return 0;
    }
    int32_t setRegistryValue(bool, const zu::core::CString&, const zu::core::CString&,
                             int32_t) override
    {
        return 0;
    }
    int32_t showMessageBox(const zu::core::CString&, const zu::core::CString&, int32_t) override
    {
        return 0;
    }
    bool openFile(const zu::core::CString&) override { return false; }
    uint32_t getProcessId() const override { return 1; }
    zu::core::CString getExecutablePath() const override { return ""; }
    void runProcess(const zu::core::CString&, const zu::core::CString&) override {}
    void runElevated(const zu::core::CString&, const zu::core::CString&) override {}
    zu::core::CString getAppDataFolder(const zu::core::CString&) const override { return ""; }
    zu::core::CString getDocumentsFolder(const zu::core::CString&) const override { return ""; }
    zu::core::CString getExecutableFolder() const override { return ""; }
    zu::core::CString getTempFolder() const override { return ""; }

    zu::core::CString clipboard;
    int reads = 0;
};

struct SRectangleCall
{
    uint32_t color;
    zu::video::SRecti rect;
    bool clipped;
    zu::video::SRecti clip;
};

// Also writes down the filled rectangles.
class CGuiRecorder : public CImageCallRecorder
{
  public:
    using CImageCallRecorder::CImageCallRecorder;

    void drawRectangle(uint32_t color, const zu::video::SRecti& rect,
                       const zu::video::SRecti* clip) override
    {
        rectangles.push_back({color, rect, clip != nullptr, clip ? *clip : zu::video::SRecti{}});
        CImageCallRecorder::drawRectangle(color, rect, clip);
    }
    void forget()
    {
        rectangles.clear();
        calls.clear();
    }

    std::vector<SRectangleCall> rectangles;
};

struct SFill
{
    int32_t color; // skin colour index
    zu::video::SRecti rect;
};

// The skin-colour fills drawn, as skin colour indexes (-1 for others).
inline std::vector<SFill> fills(const std::vector<SRectangleCall>& calls,
                                const zu::gui::IGUISkin* skin)
{
    std::vector<SFill> out;
    for (const SRectangleCall& call : calls)
    {
        int32_t index = -1;
        for (int32_t i = 0; i < zu::gui::IGUISkin::COLOR_COUNT && index < 0; ++i)
            if (skin->getColor(i) == call.color) index = i;
        out.push_back({index, call.rect});
    }
    return out;
}

inline bool operator==(const SFill& a, const SFill& b)
{
    return a.color == b.color && a.rect.left == b.rect.left && a.rect.top == b.rect.top &&
           a.rect.right == b.rect.right && a.rect.bottom == b.rect.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const SFill& f)
{
    return out << "colour " << f.color << " (" << f.rect.left << ", " << f.rect.top << ", "
               << f.rect.right << ", " << f.rect.bottom << ")";
}

// One GUI event as a receiver saw it.
struct SLogged
{
    std::string receiver; // who was handed it
    zu::gui::IGUIElement* caller;
    int32_t type;

    bool operator==(const SLogged& o) const
    {
        return receiver == o.receiver && caller == o.caller && type == o.type;
    }
};

inline std::ostream& operator<<(std::ostream& out, const SLogged& e)
{
    return out << e.receiver << ":" << e.type;
}

using EventLog = std::vector<SLogged>;

// The user receiver: the GUI events that reach the root.
class CUserLog : public zu::event::IEventReceiver
{
  public:
    bool onEvent(const zu::event::SEngineEvent& event) override
    {
        if (event.type != zu::event::GuiEvent) return false;
        log->push_back({"user", event.gui.caller, event.gui.eventType});
        if (handler) handler(event);
        return true;
    }

    EventLog* log = nullptr;
    std::function<void(const zu::event::SEngineEvent&)> handler;
};

// A button that writes down each GUI event it is handed and each mouse
// event it sees.
class CLoggedButton : public kelvo::gui::CGUIButton
{
  public:
    CLoggedButton(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent,
                  const zu::video::SRecti& rect, std::string name, EventLog* log,
                  bool* destroyed = nullptr)
        : CGUIButton(environment, parent, -1, rect, name.c_str()), m_name(std::move(name)),
          m_log(log), m_destroyed(destroyed)
    {
    }
    ~CLoggedButton() override
    {
        if (m_destroyed) *m_destroyed = true;
    }
    bool onEvent(const zu::event::SEngineEvent& event) override
    {
        if (event.type == zu::event::GuiEvent)
            m_log->push_back({m_name, event.gui.caller, event.gui.eventType});
        else if (event.type == zu::event::MouseEvent)
            mouse.push_back(event.mouse);
        return CGUIButton::onEvent(event);
    }

    std::vector<zu::event::SMouseEvent> mouse;

  private:
    std::string m_name;
    EventLog* m_log;
    bool* m_destroyed;
};

// Glyphs of one width for codes 32 to 126, so that text widths are
// 6 pixels a character.
inline kelvo::gui::CGUIFont* makeMonoFont(zu::video::IVideoDriver* driver, int32_t width,
                                          int32_t height)
{
    CMarkerPicture picture(kMarkers32, 128);
    picture.layOut(std::vector<int32_t>(95, width), height);
    auto* font = new kelvo::gui::CGUIFont(driver);
    EXPECT_TRUE(font->load(picture.addTo(driver, "mono")));
    return font;
}

class GuiTree : public ::testing::Test
{
  protected:
    static constexpr int32_t CHAR = 6;  // width of a test font character
    static constexpr int32_t LINE = 10; // its height

    GuiTree()
    {
        m_font = makeMonoFont(m_driver, CHAR, LINE);
        m_env->getSkin()->setFont(m_font);
        m_user.log = &log;
        m_env->setUserEventReceiver(&m_user);
    }
    ~GuiTree() override
    {
        m_env->drop();
        m_font->drop();
        m_driver->drop();
        m_fs->drop();
        m_timer->drop();
        m_clipboard->drop();
    }

    bool post(const zu::event::SEngineEvent& event) { return m_env->postEventFromUser(event); }
    bool moveTo(int32_t x, int32_t y)
    {
        return post(zu::event::SEngineEvent::makeMouse(zu::event::MouseMoved, x, y));
    }
    // Moves there first, as a real mouse does.
    bool press(int32_t x, int32_t y, zu::event::MouseAction action = zu::event::LeftDown)
    {
        moveTo(x, y);
        return post(zu::event::SEngineEvent::makeMouse(action, x, y, 1));
    }
    bool release(int32_t x, int32_t y, zu::event::MouseAction action = zu::event::LeftUp)
    {
        moveTo(x, y);
        return post(zu::event::SEngineEvent::makeMouse(action, x, y, 1));
    }
    void click(int32_t x, int32_t y)
    {
        press(x, y);
        release(x, y);
    }
    // A wheel turn where the mouse is.
    bool wheel(float notches)
    {
        return post(zu::event::SEngineEvent::makeMouse(zu::event::MouseWheel, 0, 0, 1, notches));
    }
    bool pressKey(uint32_t key, bool shift = false)
    {
        return post(zu::event::SEngineEvent::makeKey(key, zu::event::KeyPressed, 0, shift));
    }
    // Each byte as the character the device reports for it.
    void typeText(const std::string& text)
    {
        for (unsigned char c : text)
            post(zu::event::SEngineEvent::makeKey(c, zu::event::KeyCharacter, c));
    }
    // The types of the events the user receiver saw, in order.
    std::vector<int32_t> userTypes() const
    {
        std::vector<int32_t> types;
        for (const SLogged& e : log)
            if (e.receiver == "user") types.push_back(e.type);
        return types;
    }
    // Draws one frame and writes down only what it drew.
    void drawFrame()
    {
        m_driver->forget();
        m_env->drawAll();
    }
    zu::gui::IGUISkin* skin() const { return m_env->getSkin(); }

    EventLog log;
    iotest::CCapture m_capture;
    kelvo::io::CFileSystem* m_fs = new kelvo::io::CFileSystem();
    CGuiRecorder* m_driver = new CGuiRecorder(m_fs, {800, 600});
    CFakeTimer* m_timer = new CFakeTimer();
    CFakeClipboard* m_clipboard = new CFakeClipboard();
    kelvo::gui::CGUIEnvironment* m_env =
        new kelvo::gui::CGUIEnvironment(m_fs, m_driver, m_timer, m_clipboard);
    zu::gui::IGUIEnvironment& gui = *m_env;
    kelvo::gui::CGUIFont* m_font = nullptr;
    CUserLog m_user;
};

// The tree with a scratch folder for the skin packages a test makes.
class SkinnedGuiTree : public GuiTree
{
  protected:
    // A skin package with images of the given sizes, set on the skin.
    zu::video::ISpritePackage* useSkinPackage(const std::vector<SPackImage>& images)
    {
        const std::string path = writePackage(m_folder + "/skin.spr", images);
        zu::video::ISpritePackage* package = m_driver->getSpritePackage(path.c_str(), false, true);
        EXPECT_NE(package, nullptr);
        skin()->setSpritePackage(package);
        return package;
    }
    std::string m_folder = iotest::makeScratchFolder("widgets");
};

} // namespace guitest
