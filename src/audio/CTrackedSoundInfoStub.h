// CTrackedSoundInfoStub: the driver-independent handle of a tracked sound: an effect the script
// moves while it plays. The audio driver's implementation derives its own record from it; the base
// driver only keeps, finds and deletes these.
#pragma once

namespace zu::audio
{

class CTrackedSoundInfoStub
{
  public:
    CTrackedSoundInfoStub() = default;
    CTrackedSoundInfoStub(const CTrackedSoundInfoStub&) = delete;
    CTrackedSoundInfoStub& operator=(const CTrackedSoundInfoStub&) = delete;
    virtual ~CTrackedSoundInfoStub() = default;
};

} // namespace zu::audio
