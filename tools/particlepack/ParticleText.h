// The packer's text description of particle definitions, read into records
// and written back from them (the dump). One block per definition:
//
//   # a comment runs to the end of its line
//   definition spark
//       sprites      spark/spark2      # animation names, '/' between them
//       lifeMin      400
//       lifeMax      700
//       curveY       300               # amplitude [frequency [phase [type [clamp]]]]
//       colorEnd     255 120 40 0      # red green blue alpha
//       children     ember smoke
//
// A block runs to the next "definition" line. Every field of the record may
// be given by its name, at most once a block; the others keep their defaults
// (SParticleDefinition). Values are separated by blanks; a value with blanks
// in it, or an empty one, is written in double quotes. Flags are yes or no,
// curve types constant, linear, sine, triangle, square, impulse, exp or
// negexp (or their numbers), clamps none, abs or positive. The README lists
// every field.
#pragma once

#include "video/SParticleDefinition.h"

#include <string>
#include <vector>

namespace pellora::particlepack
{

// Reads the text. False with "line N: what" in error at the first mistake;
// warnings (children or death names no definition has) are appended to
// warnings, one line each.
bool parseParticleText(const std::string& text,
                       std::vector<zu::video::SParticleDefinition>& definitions, std::string& error,
                       std::string& warnings);

// Every field of every definition, in the record's order, as the text reads
// them back: packing the text again gives the same definitions.
std::string formatParticleText(const std::vector<zu::video::SParticleDefinition>& definitions);

} // namespace pellora::particlepack
