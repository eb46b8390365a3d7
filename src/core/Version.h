// The product's version and the engine's version, each written here once:
// the window caption, --version, kelvo.getVersion, and the device's banner
// and version check all take them from this header.
#pragma once

// The product's numbers are macros so that its version text is made from
// them when compiling.
#define PELLORA_VERSION_MAJOR 1
#define PELLORA_VERSION_MINOR 1
#define PELLORA_VERSION_PATCH 0

// "major.minor.patch", in two steps so that the numbers are expanded first.
#define PELLORA_VERSION_JOIN_(major, minor, patch) #major "." #minor "." #patch
#define PELLORA_VERSION_JOIN(major, minor, patch) PELLORA_VERSION_JOIN_(major, minor, patch)
#define PELLORA_VERSION_TEXT                                                                       \
    PELLORA_VERSION_JOIN(PELLORA_VERSION_MAJOR, PELLORA_VERSION_MINOR, PELLORA_VERSION_PATCH)

namespace zu::core
{

// The product: what games (kelvo.getVersion) and players see.
constexpr int PRODUCT_VERSION_MAJOR = PELLORA_VERSION_MAJOR;
constexpr int PRODUCT_VERSION_MINOR = PELLORA_VERSION_MINOR;
constexpr int PRODUCT_VERSION_PATCH = PELLORA_VERSION_PATCH;

// The engine under the product: the device reports it and warns when the
// application says it was made for another.
constexpr const char* ENGINE_VERSION = "0.7";

} // namespace zu::core
