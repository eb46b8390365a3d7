#include "platform/SWindowsVersion.h"

#include <string>

namespace kelvo
{
namespace
{

const char* editionName(uint32_t productType)
{
    switch (productType)
    {
    case 1: return "Ultimate Edition";
    case 2: return "Home Basic Edition";
    case 3: return "Home Premium Edition";
    case 4:
    case 10: return "Enterprise Edition";
    case 6: return "Business Edition";
    case 7: return "Standard Edition";
    case 8: return "Datacenter Edition";
    case 9: return "Small Business Server";
    case 11: return "Starter Edition";
    case 12: return "Datacenter Edition (core installation)";
    case 13: return "Standard Edition (core installation)";
    case 14: return "Enterprise Edition (core installation)";
    case 15: return "Enterprise Edition for Itanium-based Systems";
    case 17: return "Web Server Edition";
    case 18: return "Cluster Server Edition";
    case 25: return "Small Business Server Premium Edition";
    case 48: return "Professional";
    default: return "";
    }
}

constexpr uint32_t SUITE_ENTERPRISE = 0x2;
constexpr uint32_t SUITE_DATACENTER = 0x80;
constexpr uint32_t SUITE_PERSONAL = 0x200;
constexpr uint32_t SUITE_BLADE = 0x400;
constexpr uint32_t SUITE_STORAGE_SERVER = 0x2000;
constexpr uint32_t SUITE_COMPUTE_SERVER = 0x4000;
constexpr uint32_t SUITE_HOME_SERVER = 0x8000;

} // namespace

zu::core::CString describeWindowsVersion(const SWindowsVersion& v)
{
    if (!v.ntFamily || v.major <= 4)
        return "";
    std::string text = "Microsoft ";
    using A = SWindowsVersion;
    if (v.major == 6)
    {
        if (v.minor == 0)
            text += v.workstation ? "Windows Vista " : "Windows Server 2008 ";
        else if (v.minor == 1)
            text += v.workstation ? "Windows 7 " : "Windows Server 2008 R2 ";
        else if (v.minor == 2)
            text += v.workstation ? "Windows 8 " : "Windows Server 2012 ";
        text += editionName(v.productType);
    }
    else if (v.major == 5 && v.minor == 2)
    {
        if (v.serverR2)
            text += "Windows Server 2003 R2, ";
        else if (v.suiteMask & SUITE_STORAGE_SERVER)
            text += "Windows Storage Server 2003";
        else if (v.suiteMask & SUITE_HOME_SERVER)
            text += "Windows Home Server";
        else if (v.workstation && v.architecture == A::ARCH_X64)
            text += "Windows XP Professional x64 Edition";
        else
            text += "Windows Server 2003, ";

        if (!v.workstation)
        {
            if (v.architecture == A::ARCH_ITANIUM)
            {
                if (v.suiteMask & SUITE_DATACENTER)
                    text += "Datacenter Edition for Itanium-based Systems";
                else if (v.suiteMask & SUITE_ENTERPRISE)
                    text += "Enterprise Edition for Itanium-based Systems";
            }
            else if (v.architecture == A::ARCH_X64)
            {
                if (v.suiteMask & SUITE_DATACENTER)
                    text += "Datacenter x64 Edition";
                else if (v.suiteMask & SUITE_ENTERPRISE)
                    text += "Enterprise x64 Edition";
                else
                    text += "Standard x64 Edition";
            }
            else if (v.suiteMask & SUITE_COMPUTE_SERVER)
                text += "Compute Cluster Edition";
            else if (v.suiteMask & SUITE_DATACENTER)
                text += "Datacenter Edition";
            else if (v.suiteMask & SUITE_ENTERPRISE)
                text += "Enterprise Edition";
            else if (v.suiteMask & SUITE_BLADE)
                text += "Web Edition";
            else
                text += "Standard Edition";
        }
    }
    else if (v.major == 5 && v.minor == 1)
    {
        text += "Windows XP ";
        text += (v.suiteMask & SUITE_PERSONAL) ? "Home Edition" : "Professional";
    }
    else if (v.major == 5 && v.minor == 0)
    {
        text += "Windows 2000 ";
        if (v.workstation)
            text += "Professional";
        else if (v.suiteMask & SUITE_DATACENTER)
            text += "Datacenter Server";
        else if (v.suiteMask & SUITE_ENTERPRISE)
            text += "Advanced Server";
        else
            text += "Server";
    }
    if (!v.servicePack.empty())
        text += " " + v.servicePack.str();
    text += " (build " + std::to_string(v.build) + ")";
    if (v.major >= 6)
    {
        if (v.architecture == A::ARCH_X64)
            text += ", 64-bit";
        else if (v.architecture == A::ARCH_X86)
            text += ", 32-bit";
    }
    return text;
}

} // namespace kelvo
