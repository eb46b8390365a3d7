#include "platform/COSOperator.h"

#include "core/Output.h"
#include "platform/CRegistryFile.h"

#include <SDL.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <limits.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kelvo
{
namespace
{

zu::core::CString envOr(const char* name, const zu::core::CString& fallback)
{
    const char* value = getenv(name);
    return (value && *value) ? zu::core::CString(value) : fallback;
}

zu::core::CString homeFolder() { return envOr("HOME", "/tmp"); }

// Starts a program found on PATH with the given arguments, without a shell.
// Children are reaped by a SIGCHLD-free waitpid(WNOHANG) sweep on each call.
void spawn(const std::vector<std::string>& argv)
{
    while (waitpid(-1, nullptr, WNOHANG) > 0)
    {
    }
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0)
        zu::core::zuLog(zu::core::ELL_ERROR, "Could not start %s", args[0]);
}

} // namespace

COSOperator::COSOperator(const zu::core::CString& description)
    : m_description(description), m_executablePath(findExecutablePath())
{
}

zu::core::CString COSOperator::findExecutablePath()
{
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? zu::core::CString(path, static_cast<size_t>(n)) : zu::core::CString();
}

bool COSOperator::makeExecutable(const zu::core::CString& path)
{
    return chmod(path.c_str(), 0755) == 0;
}

zu::core::CString COSOperator::describeSystem()
{
    // "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-18-amd64 (x86_64)"
    std::string text;
    std::ifstream release("/etc/os-release");
    for (std::string line; std::getline(release, line);)
        if (line.compare(0, 12, "PRETTY_NAME=") == 0)
        {
            text = line.substr(12);
            if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
                text = text.substr(1, text.size() - 2);
        }
    struct utsname name;
    if (uname(&name) == 0)
        text += (text.empty() ? "" : ", ") + std::string(name.sysname) + " " + name.release +
                " (" + name.machine + ")";
    return text;
}

zu::core::CString COSOperator::normaliseFolder(zu::core::CString folder)
{
    folder.replace('\\', '/');
    if (!folder.endsWith("/"))
        folder += '/';
    return folder;
}

// The system clipboard needs SDL's video subsystem; without a display the
// clipboard is kept inside the process.
void COSOperator::copyToClipboard(const zu::core::CString& text)
{
    if (text.empty())
        return;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_SetClipboardText(text.c_str()) == 0)
        return;
    m_clipboard = text;
}

zu::core::CString COSOperator::getTextFromClipboard()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_HasClipboardText())
    {
        char* text = SDL_GetClipboardText();
        if (text)
        {
            m_clipboard = text;
            SDL_free(text);
        }
    }
    return m_clipboard;
}

zu::core::CString COSOperator::getComputerName()
{
    char name[256] = {};
    m_computerName = "Computer";
    if (gethostname(name, sizeof name - 1) == 0 && name[0])
        m_computerName = name;
    return m_computerName;
}

zu::core::CString COSOperator::registryPath() const
{
    return getAppDataFolder("Pellora/registry.txt");
}

namespace
{
zu::core::CString registryName(bool currentUser, const zu::core::CString& keyPath,
                               const zu::core::CString& valueName)
{
    return zu::core::CString(currentUser ? "HKCU\\" : "HKLM\\") + keyPath + "\\" + valueName;
}
} // namespace

int32_t COSOperator::getRegistryValue(bool currentUser, const zu::core::CString& keyPath,
                                      const zu::core::CString& valueName)
{
    int32_t value = 0;
    CRegistryFile(registryPath()).get(registryName(currentUser, keyPath, valueName), value);
    return value;
}

int32_t COSOperator::setRegistryValue(bool currentUser, const zu::core::CString& keyPath,
                                      const zu::core::CString& valueName, int32_t value)
{
    // Like the platform call: 0 on success, an error code otherwise.
    return CRegistryFile(registryPath()).set(registryName(currentUser, keyPath, valueName), value)
               ? 0
               : 1;
}

int32_t COSOperator::showMessageBox(const zu::core::CString& caption,
                                    const zu::core::CString& text, int32_t kind)
{
    enum
    {
        OK_OR_YES = 1,
        CANCEL = 2,
        NO = 3
    };
    const Uint32 enter = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    const Uint32 escape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    std::vector<SDL_MessageBoxButtonData> buttons;
    switch (kind)
    {
    case 1:
        buttons = {{enter, OK_OR_YES, "OK"}, {escape, CANCEL, "Cancel"}};
        break;
    case 2:
        buttons = {{enter, OK_OR_YES, "Yes"}, {escape, NO, "No"}};
        break;
    case 3:
        buttons = {{enter, OK_OR_YES, "Yes"}, {0, NO, "No"}, {escape, CANCEL, "Cancel"}};
        break;
    default:
        buttons = {{enter | escape, OK_OR_YES, "OK"}};
        break;
    }
    SDL_MessageBoxData data{};
    data.flags = SDL_MESSAGEBOX_INFORMATION;
    data.title = caption.c_str();
    data.message = text.c_str();
    data.numbuttons = static_cast<int>(buttons.size());
    data.buttons = buttons.data();
    int pressed = 0;
    if (SDL_ShowMessageBox(&data, &pressed) != 0)
    {
        // No display: the text still reaches the log.
        zu::core::zuLog(zu::core::ELL_WARNING, "%s: %s", caption.c_str(), text.c_str());
        return 0;
    }
    return pressed > 0 ? pressed : 0;
}

bool COSOperator::openFile(const zu::core::CString& path)
{
    spawn({"xdg-open", path.str()});
    return true;
}

uint32_t COSOperator::getProcessId() const { return static_cast<uint32_t>(getpid()); }

void COSOperator::runProcess(const zu::core::CString& name, const zu::core::CString& arguments)
{
    std::vector<std::string> argv{name.str()};
    size_t start = 0;
    const std::string& args = arguments.str();
    while (start < args.size())
    {
        size_t end = args.find(' ', start);
        if (end == std::string::npos)
            end = args.size();
        if (end > start)
            argv.push_back(args.substr(start, end - start));
        start = end + 1;
    }
    spawn(argv);
}

void COSOperator::runElevated(const zu::core::CString& name, const zu::core::CString& parameters)
{
    // No elevation prompt here: the program starts with the user's rights.
    runProcess(name, parameters);
}

zu::core::CString COSOperator::getAppDataFolder(const zu::core::CString& subPath) const
{
    zu::core::CString base = envOr("XDG_DATA_HOME", homeFolder() + "/.local/share");
    return normaliseFolder(base) + subPath;
}

zu::core::CString COSOperator::getDocumentsFolder(const zu::core::CString& subPath) const
{
    zu::core::CString base = envOr("XDG_DOCUMENTS_DIR", homeFolder() + "/Documents");
    return normaliseFolder(base) + subPath;
}

zu::core::CString COSOperator::getExecutableFolder() const
{
    size_t slash = m_executablePath.rfind('/');
    if (slash == zu::core::CString::npos)
        return "./";
    return normaliseFolder(m_executablePath.substr(0, slash));
}

zu::core::CString COSOperator::getTempFolder() const
{
    return normaliseFolder(envOr("TMPDIR", "/tmp"));
}

} // namespace kelvo
