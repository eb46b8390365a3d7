// The operating-system description of a Windows system, as a pure function of
// its version record, so the same text comes out wherever it is computed.
#pragma once

#include "core/CString.h"

#include <cstdint>

namespace kelvo
{

struct SWindowsVersion
{
    enum EArchitecture
    {
        ARCH_X86 = 0,
        ARCH_ITANIUM = 6,
        ARCH_X64 = 9,
        ARCH_OTHER = 0xffff
    };

    bool ntFamily = true;
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    zu::core::CString servicePack;
    uint32_t suiteMask = 0;
    bool workstation = true;
    bool serverR2 = false;      // Windows Server 2003 R2
    uint32_t productType = 0;   // the edition number of major version 6
    EArchitecture architecture = ARCH_X86;
};

zu::core::CString describeWindowsVersion(const SWindowsVersion& v);

} // namespace kelvo
