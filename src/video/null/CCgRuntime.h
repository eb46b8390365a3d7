// CCgRuntime: the Cg runtime, opened on first use. The runtime is not part
// of the system and may be missing; then every Cg material fails with -1,
// and the missing libraries are reported once. Tests put a table of their
// own in its place.
#pragma once

#include "video/null/SCgFunctions.h"

namespace kelvo::video
{

class CCgRuntime
{
  public:
    // The runtime's functions, or null when its core library cannot be
    // loaded. The first call tries the libraries; later calls only answer.
    static const SCgFunctions* get();
    // Uses `table` instead of the libraries until called again with null.
    static void replace(const SCgFunctions* table);
};

} // namespace kelvo::video
