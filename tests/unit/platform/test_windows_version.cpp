#include "platform/SWindowsVersion.h"

#include <gtest/gtest.h>

using kelvo::SWindowsVersion;

namespace
{
SWindowsVersion make(uint32_t major, uint32_t minor, uint32_t build, bool workstation,
                     SWindowsVersion::EArchitecture arch, uint32_t suite = 0,
                     uint32_t product = 0, const char* sp = "")
{
    SWindowsVersion v;
    v.major = major;
    v.minor = minor;
    v.build = build;
    v.workstation = workstation;
    v.architecture = arch;
    v.suiteMask = suite;
    v.productType = product;
    v.servicePack = sp;
    return v;
}
} // namespace

TEST(WindowsVersion, DescriptionsFollowTheVersionTable)
{
    using A = SWindowsVersion;
    struct Case
    {
        SWindowsVersion v;
        const char* text;
    };
    SWindowsVersion r2 = make(5, 2, 3790, false, A::ARCH_X86, 0x2);
    r2.serverR2 = true;
    SWindowsVersion win9x = make(4, 10, 1998, true, A::ARCH_X86);
    win9x.ntFamily = false;
    const Case cases[] = {
        {make(6, 1, 7601, true, A::ARCH_X64, 0, 1, "Service Pack 1"),
         "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 64-bit"},
        {make(6, 0, 6002, false, A::ARCH_X86, 0, 12),
         "Microsoft Windows Server 2008 Datacenter Edition (core installation) (build 6002), 32-bit"},
        {make(6, 2, 9200, true, A::ARCH_X64, 0, 48), "Microsoft Windows 8 Professional (build 9200), 64-bit"},
        {make(6, 1, 7600, true, A::ARCH_ITANIUM, 0, 99), "Microsoft Windows 7  (build 7600)"},
        {make(5, 1, 2600, true, A::ARCH_X86, 0x200, 0, "Service Pack 3"),
         "Microsoft Windows XP Home Edition Service Pack 3 (build 2600)"},
        {make(5, 1, 2600, true, A::ARCH_X86), "Microsoft Windows XP Professional (build 2600)"},
        {make(5, 2, 3790, true, A::ARCH_X64), "Microsoft Windows XP Professional x64 Edition (build 3790)"},
        {make(5, 2, 3790, false, A::ARCH_X64, 0x80),
         "Microsoft Windows Server 2003, Datacenter x64 Edition (build 3790)"},
        {make(5, 2, 3790, false, A::ARCH_ITANIUM, 0x2),
         "Microsoft Windows Server 2003, Enterprise Edition for Itanium-based Systems (build 3790)"},
        {make(5, 2, 3790, false, A::ARCH_X86, 0x400), "Microsoft Windows Server 2003, Web Edition (build 3790)"},
        {make(5, 2, 3790, false, A::ARCH_X86, 0x4000 | 0x80),
         "Microsoft Windows Server 2003, Compute Cluster Edition (build 3790)"},
        {r2, "Microsoft Windows Server 2003 R2, Enterprise Edition (build 3790)"},
        {make(5, 2, 3790, false, A::ARCH_X86, 0x2000),
         "Microsoft Windows Storage Server 2003Standard Edition (build 3790)"},
        {make(5, 0, 2195, false, A::ARCH_X86, 0x2), "Microsoft Windows 2000 Advanced Server (build 2195)"},
        {make(5, 0, 2195, true, A::ARCH_X86), "Microsoft Windows 2000 Professional (build 2195)"},
        {make(4, 0, 1381, true, A::ARCH_X86), ""},
        {win9x, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kelvo::describeWindowsVersion(c.v).str(), c.text);
}
