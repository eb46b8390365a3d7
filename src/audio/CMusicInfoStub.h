// CMusicInfoStub: the driver-independent handle of a music stream (music and the voice line).
// The audio driver's implementation derives its own record from it; the base
// driver only keeps, finds and deletes these.
#pragma once

namespace zu::audio
{

class CMusicInfoStub
{
  public:
    CMusicInfoStub() = default;
    CMusicInfoStub(const CMusicInfoStub&) = delete;
    CMusicInfoStub& operator=(const CMusicInfoStub&) = delete;
    virtual ~CMusicInfoStub() = default;
};

} // namespace zu::audio
