// The fixture of the element tree and widget tests: an environment on a
// driver that writes down its rectangles and images, a clock the test sets,
// a monospaced test font as the skin font (every character 6 x 10), a log of
// the GUI events that reach the user receiver, and mouse and key input
// posted as the device posts it.
#pragma once

#include "GuiPackageSupport.h"
#include "GuiTestSupport.h"

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

namespace guitest
{

class CFakeTimer : public zu::ITimer
{
  public:
    uint32_t getRealTime() const override { return now; }
    double getSeconds() const override { return now * 0.001; }

    uint32_t now = 0;
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
    kelvo::gui::CGUIEnvironment* m_env = new kelvo::gui::CGUIEnvironment(m_fs, m_driver, m_timer);
    zu::gui::IGUIEnvironment& gui = *m_env;
    kelvo::gui::CGUIFont* m_font = nullptr;
    CUserLog m_user;
};

} // namespace guitest
