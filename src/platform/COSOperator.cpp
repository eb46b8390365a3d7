#include "platform/COSOperator.h"

#include "core/Output.h"

#include <cstdlib>
#include <limits.h>
#include <spawn.h>
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

COSOperator::COSOperator(const zu::core::CString& description) : m_description(description)
{
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n > 0)
        m_executablePath = zu::core::CString(path, static_cast<size_t>(n));
}

zu::core::CString COSOperator::describeSystem()
{
    struct utsname name;
    if (uname(&name) != 0)
        return "";
    return zu::core::CString(name.sysname) + " " + name.release + " (" + name.machine + ")";
}

zu::core::CString COSOperator::normaliseFolder(zu::core::CString folder)
{
    folder.replace('\\', '/');
    if (!folder.endsWith("/"))
        folder += '/';
    return folder;
}

void COSOperator::copyToClipboard(const zu::core::CString& text)
{
    if (!text.empty())
        m_clipboard = text;
}

zu::core::CString COSOperator::getTextFromClipboard() { return m_clipboard; }

zu::core::CString COSOperator::getComputerName()
{
    char name[256] = {};
    m_computerName = "Computer";
    if (gethostname(name, sizeof name - 1) == 0 && name[0])
        m_computerName = name;
    return m_computerName;
}

int32_t COSOperator::getRegistryValue(bool, const zu::core::CString&, const zu::core::CString&)
{
    return 0;
}

int32_t COSOperator::setRegistryValue(bool, const zu::core::CString&, const zu::core::CString&,
                                      int32_t)
{
    return 0;
}

int32_t COSOperator::showMessageBox(const zu::core::CString& caption,
                                    const zu::core::CString& text, int32_t)
{
    zu::core::zuLog(zu::core::ELL_WARNING, "%s: %s", caption.c_str(), text.c_str());
    return 0;
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
