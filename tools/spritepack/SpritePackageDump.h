// Prints every table of a sprite package for people: the header, each page
// (where it is, its size, how many pixels are visible), the images, the
// bundles with their parts and the animations with their frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pellora::spritepack
{

// Appends the description to text. False when the bytes are not a complete
// package; text then ends with a line saying where reading stopped.
bool dumpSpritePackage(const std::vector<uint8_t>& bytes, std::string& text);

} // namespace pellora::spritepack
