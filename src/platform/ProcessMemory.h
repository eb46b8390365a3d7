// How the process asks the C library for memory. A game frame allocates and
// frees the same large blocks again and again (the GL implementation's vertex
// buffers for each batch, say); the allocator's default is to hand such blocks
// back to the system at once, so every frame pays for mapping and faulting in
// fresh pages. Keeping them costs some resident memory and saves most of the
// CPU time a large batch takes.
#pragma once

namespace kelvo::platform
{

// Call once, first thing in main.
void configureProcessMemory();

} // namespace kelvo::platform
