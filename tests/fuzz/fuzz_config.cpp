// Fuzz target: the configuration parser, then every lookup on what it read.
#include "core/Output.h"
#include "game/CConfiguration.h"

#include <cstdint>

namespace
{
void quiet(const char*, int) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool silenced = (zu::core::setLogSink(&quiet), true);
    (void)silenced;

    zu::game::CConfiguration config(nullptr);
    config.parse(zu::core::CString(reinterpret_cast<const char*>(data), size));
    zu::core::CString text;
    for (const char* address : {"settings:screenWidth", "settings:driver", "a:k", ":", ""})
    {
        config.hasKey(address);
        config.getString(address, text);
        config.getInt(address);
    }
    zu::game::CConfiguration::textToInt(
        zu::core::CString(reinterpret_cast<const char*>(data), size));
    config.setString("settings:screenWidth", "1");
    return 0;
}
