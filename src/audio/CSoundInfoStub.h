// CSoundInfoStub: the driver-independent handle of sound data: one decoded sound effect.
// The audio driver's implementation derives its own record from it; the base
// driver only keeps, finds and deletes these.
#pragma once

namespace zu::audio
{

class CSoundInfoStub
{
  public:
    CSoundInfoStub() = default;
    CSoundInfoStub(const CSoundInfoStub&) = delete;
    CSoundInfoStub& operator=(const CSoundInfoStub&) = delete;
    virtual ~CSoundInfoStub() = default;
};

} // namespace zu::audio
