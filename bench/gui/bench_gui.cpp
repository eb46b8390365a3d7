// The GUI's cost per frame: 200 visible widgets of one screen (labels,
// buttons and check boxes) drawn with drawAll while one mouse move a frame
// is routed through the tree, against a script that draws the same
// rectangles and texts, in the same order, through the video table. The two
// alternate in blocks of frames in one run; each frame's main-thread CPU
// time (and wall time) is measured from the first draw call to the end of
// the batch's flush.
//
//   bench_gui [--null] [--frames N] [--rounds N]
//
// Without --null it opens an 800 x 600 OpenGL window (run it under
// xvfb-run); with --null everything draws on the null driver, which shows
// the runtime's own cost without the GL implementation's.
#include "core/Output.h"
#include "core/Version.h"
#include "event/SEngineEvent.h"
#include "gui/CGUIEnvironment.h"
#include "gui/IGUICheckBox.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"
#include "gui/IGUIStaticText.h"
#include "host/CLuaManager.h"
#include "io/CFileSystem.h"
#include "platform/CDeviceHeadless.h"
#include "platform/CDeviceSDL.h"
#include "platform/ProcessMemory.h"
#include "video/IVideoDriver.h"
#include "video/null/CVideoNull.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using zu::video::SRecti;

namespace
{

constexpr int WIDTH = 800, HEIGHT = 600, COLUMNS = 10, ROWS = 20;

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double wallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The screen: a grid of 10 x 20 cells, each holding a label, a button or a
// check box, in turn.
void buildScreen(zu::gui::IGUIEnvironment* gui)
{
    for (int i = 0; i < COLUMNS * ROWS; ++i)
    {
        const int x = (i % COLUMNS) * (WIDTH / COLUMNS) + 2;
        const int y = (i / COLUMNS) * (HEIGHT / ROWS) + 2;
        const SRecti cell{x, y, x + WIDTH / COLUMNS - 4, y + HEIGHT / ROWS - 4};
        const std::string name = std::to_string(i);
        switch (i % 3)
        {
        case 0:
            gui->addStaticText(("Label " + name).c_str(), cell, false, false);
            break;
        case 1:
            gui->addButton(cell, nullptr, i, ("Button " + name).c_str());
            break;
        default:
            gui->addCheckBox(i % 2 == 0, cell, nullptr, i, ("Box " + name).c_str());
        }
    }
}

// What the GUI draws, in order: rectangles and texts placed at their
// top-left corners.
struct SDrawing
{
    bool text;
    SRecti rect;
    uint32_t color;
    std::string caption;
};

// A font that writes down each text drawn and hands it on.
class CFontRecorder : public zu::gui::IGUIFont
{
  public:
    CFontRecorder(zu::gui::IGUIFont* font, std::vector<SDrawing>* out) : m_font(font), m_out(out) {}
    void draw(const zu::core::CString& text, const SRecti& position, uint32_t color,
              zu::gui::EGUIAlignment horizontal, zu::gui::EGUIAlignment vertical,
              const SRecti* clip) override
    {
        const zu::core::SDimension2i size = m_font->getDimension(text);
        const int x =
            position.left + zu::gui::alignmentOffset(horizontal, position.getWidth(), size.width);
        const int y =
            position.top + zu::gui::alignmentOffset(vertical, position.getHeight(), size.height);
        m_out->push_back({true, {x, y, x, y}, color, text.str()});
        m_font->draw(text, position, color, horizontal, vertical, clip);
    }
    zu::core::SDimension2i getDimension(const zu::core::CString& text) override
    {
        return m_font->getDimension(text);
    }
    int32_t getCharacterFromPos(const zu::core::CString& text, int32_t x) override
    {
        return m_font->getCharacterFromPos(text, x);
    }
    void setOverrideColor(uint32_t color) override { m_font->setOverrideColor(color); }
    uint32_t getLastColor() const override { return m_font->getLastColor(); }

  private:
    zu::gui::IGUIFont* m_font;
    std::vector<SDrawing>* m_out;
};

// A null driver that writes down its rectangles.
class CRectangleRecorder : public kelvo::video::CVideoNull
{
  public:
    CRectangleRecorder(zu::io::IFileSystem* fs, std::vector<SDrawing>* out)
        : CVideoNull(fs, {WIDTH, HEIGHT}), m_out(out)
    {
    }
    void drawRectangle(uint32_t color, const SRecti& rect, const SRecti* clip) override
    {
        m_out->push_back({false, clip ? zu::gui::intersect(rect, *clip) : rect, color, ""});
    }

  private:
    std::vector<SDrawing>* m_out;
};

// An environment whose built-in font (the check marks') is the recorder too.
class CRecordingEnvironment : public kelvo::gui::CGUIEnvironment
{
  public:
    using CGUIEnvironment::CGUIEnvironment;
    zu::gui::IGUIFont* getBuiltInFont() const override { return recorder; }
    zu::gui::IGUIFont* recorder = nullptr;
};

// One frame of the screen, written down.
std::vector<SDrawing> recordScreen()
{
    std::vector<SDrawing> out;
    auto* fs = new kelvo::io::CFileSystem();
    auto* driver = new CRectangleRecorder(fs, &out);
    auto* gui = new CRecordingEnvironment(fs, driver);
    auto* recorder = new CFontRecorder(gui->CGUIEnvironment::getBuiltInFont(), &out);
    gui->recorder = recorder;
    gui->getSkin()->setFont(recorder);
    buildScreen(gui);
    gui->drawAll();
    gui->getSkin()->setFont(nullptr);
    gui->drop();
    recorder->drop();
    driver->drop();
    fs->drop();
    return out;
}

// A Lua string literal for any bytes.
std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text)
    {
        if (c == '"' || c == '\\') out += '\\';
        if (c < 32)
            out += "\\" + std::to_string(int(c));
        else
            out += char(c);
    }
    return out + "\"";
}

// The game that draws the same list through the video table.
void writeGame(const fs::path& folder, const std::vector<SDrawing>& drawings)
{
    fs::create_directories(folder / "pellora");
    std::ofstream lua(folder / "pellora" / "main.lua");
    lua << "local ops = {\n";
    for (const SDrawing& d : drawings)
    {
        const uint32_t c = d.color;
        const std::string argb = std::to_string(c >> 24) + ", " + std::to_string((c >> 16) & 255) +
                                 ", " + std::to_string((c >> 8) & 255) + ", " +
                                 std::to_string(c & 255);
        if (d.text)
            lua << "{2, " << quoted(d.caption) << ", " << d.rect.left << ", " << d.rect.top << ", "
                << argb << "},\n";
        else
            lua << "{1, " << d.rect.left << ", " << d.rect.top << ", " << d.rect.getWidth() << ", "
                << d.rect.getHeight() << ", " << argb << "},\n";
    }
    lua << "}\n"
           "local rect, text = video.renderRectangle, video.renderText\n"
           "hook.add(\"frameRender\", function()\n"
           "    for i = 1, #ops do\n"
           "        local o = ops[i]\n"
           "        if o[1] == 1 then rect(o[2], o[3], o[4], o[5], o[6], o[7], o[8], o[9])\n"
           "        else text(o[2], o[3], o[4], 0, nil, o[5], o[6], o[7], o[8]) end\n"
           "    end\n"
           "end)\n";
}

struct SStats
{
    std::vector<double> cpu, wall;
};

double mean(const std::vector<double>& v)
{
    double sum = 0;
    for (double x : v)
        sum += x;
    return v.empty() ? 0 : sum / double(v.size());
}

double median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    kelvo::platform::configureProcessMemory();
    bool null = false;
    int frames = 300, rounds = 5;
    for (int i = 1; i < argc; ++i)
    {
        if (!strcmp(argv[i], "--null"))
            null = true;
        else if (!strcmp(argv[i], "--frames") && i + 1 < argc)
            frames = std::max(1, atoi(argv[++i]));
        else if (!strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::max(1, atoi(argv[++i]));
        else
        {
            fprintf(stderr, "usage: bench_gui [--null] [--frames N] [--rounds N]\n");
            return 2;
        }
    }

    const std::vector<SDrawing> drawings = recordScreen();
    size_t texts = 0;
    for (const SDrawing& d : drawings)
        texts += d.text;
    const fs::path game =
        fs::temp_directory_path() / ("pellora-bench-gui-" + std::to_string(getpid()));
    writeGame(game, drawings);

    kelvo::CDeviceStub* device = nullptr;
    if (null)
        device = new kelvo::CDeviceHeadless(zu::core::ENGINE_VERSION, game.c_str());
    else
        device = new kelvo::CDeviceSDL(zu::core::ENGINE_VERSION, game.c_str());
    device->setDriverType(null ? zu::EDT_NULL : zu::EDT_OPENGL);
    if (!device->createWindow({WIDTH, HEIGHT}, false, false, false, 0))
    {
        fprintf(stderr, "no window (run under xvfb-run, or with --null)\n");
        return 1;
    }
    zu::video::IVideoDriver* driver = device->getVideoDriver();
    zu::gui::IGUIEnvironment* gui = device->getGUIEnvironment();
    auto* script = new pellora::lua::CLuaManager();
    script->init(device);

    // The GUI screen lives beside the script's drawing; each is drawn in its
    // own frames.
    buildScreen(gui);
    int move = 0;
    auto guiFrame = [&]
    {
        // A new widget under the mouse every frame: hover events each time.
        const int cell = (move++ * 7) % (COLUMNS * ROWS);
        const int x = (cell % COLUMNS) * (WIDTH / COLUMNS) + 20;
        const int y = (cell / COLUMNS) * (HEIGHT / ROWS) + 10;
        gui->postEventFromUser(zu::event::SEngineEvent::makeMouse(zu::event::MouseMoved, x, y));
        gui->drawAll();
    };
    auto scriptFrame = [&] { script->frameRender(); };

    auto runFrames = [&](const std::function<void()>& work, SStats* stats)
    {
        for (int f = 0; f < frames; ++f)
        {
            device->run();
            driver->beginScene(true, true, 0xFF000000);
            const double c0 = threadSeconds(), w0 = wallSeconds();
            work();
            driver->flush2D();
            const double c1 = threadSeconds(), w1 = wallSeconds();
            driver->endScene();
            if (stats)
            {
                stats->cpu.push_back((c1 - c0) * 1e6);
                stats->wall.push_back((w1 - w0) * 1e6);
            }
        }
    };
    // Warm-up of both.
    runFrames(guiFrame, nullptr);
    runFrames(scriptFrame, nullptr);

    SStats guiStats, scriptStats;
    std::vector<double> ratios;
    for (int r = 0; r < rounds; ++r)
    {
        SStats g, s;
        runFrames(guiFrame, &g);
        runFrames(scriptFrame, &s);
        ratios.push_back(median(g.cpu) / median(s.cpu));
        guiStats.cpu.insert(guiStats.cpu.end(), g.cpu.begin(), g.cpu.end());
        guiStats.wall.insert(guiStats.wall.end(), g.wall.begin(), g.wall.end());
        scriptStats.cpu.insert(scriptStats.cpu.end(), s.cpu.begin(), s.cpu.end());
        scriptStats.wall.insert(scriptStats.wall.end(), s.wall.begin(), s.wall.end());
    }

    printf("driver: %s; 200 widgets; per frame %zu rectangles and %zu texts\n", driver->getName(),
           drawings.size() - texts, texts);
    printf("%d rounds of %d frames each, alternating; microseconds per frame:\n", rounds, frames);
    printf("  GUI (drawAll + a mouse move):  CPU mean %8.1f  median %8.1f   wall median %8.1f\n",
           mean(guiStats.cpu), median(guiStats.cpu), median(guiStats.wall));
    printf("  script through the video table: CPU mean %8.1f  median %8.1f   wall median %8.1f\n",
           mean(scriptStats.cpu), median(scriptStats.cpu), median(scriptStats.wall));
    printf("  GUI / script, CPU medians: %.2f (rounds from %.2f to %.2f)\n",
           median(guiStats.cpu) / median(scriptStats.cpu),
           *std::min_element(ratios.begin(), ratios.end()),
           *std::max_element(ratios.begin(), ratios.end()));

    delete script;
    device->drop();
    fs::remove_all(game);
    return 0;
}
