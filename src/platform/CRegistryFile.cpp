#include "platform/CRegistryFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo
{
namespace
{

// Creates the folders above a file.
void makeParents(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
}

} // namespace

std::map<std::string, int32_t> CRegistryFile::read() const
{
    std::map<std::string, int32_t> values;
    std::ifstream file(m_path.c_str());
    std::string line;
    while (std::getline(file, line))
    {
        size_t eq = line.rfind('=');
        if (eq == std::string::npos || eq == 0)
            continue;
        char* end = nullptr;
        errno = 0;
        long long number = std::strtoll(line.c_str() + eq + 1, &end, 10);
        if (errno || end == line.c_str() + eq + 1 || number < INT32_MIN || number > INT32_MAX)
            continue;
        values[line.substr(0, eq)] = static_cast<int32_t>(number);
    }
    return values;
}

bool CRegistryFile::get(const zu::core::CString& name, int32_t& value) const
{
    auto values = read();
    auto it = values.find(name.str());
    if (it == values.end())
        return false;
    value = it->second;
    return true;
}

bool CRegistryFile::set(const zu::core::CString& name, int32_t value)
{
    if (name.find('\n') != zu::core::CString::npos || name.find('=') != zu::core::CString::npos)
        return false;
    auto values = read();
    values[name.str()] = value;

    makeParents(m_path.str());
    std::string temp = m_path.str() + ".tmp" + std::to_string(getpid());
    FILE* out = std::fopen(temp.c_str(), "w");
    if (!out)
        return false;
    bool ok = true;
    for (const auto& [key, number] : values)
        ok = ok && std::fprintf(out, "%s=%d\n", key.c_str(), number) > 0;
    // The data reaches the disk before the rename makes it the registry.
    ok = ok && std::fflush(out) == 0 && fsync(fileno(out)) == 0;
    ok = std::fclose(out) == 0 && ok;
    if (!ok)
    {
        std::remove(temp.c_str());
        return false;
    }
    return std::rename(temp.c_str(), m_path.c_str()) == 0;
}

} // namespace kelvo
