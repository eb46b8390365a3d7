// CQuietErrorOutput: while it lives, the process's error output goes nowhere.
// Libraries that print their own complaints (the sound back ends on a machine
// without a sound device) are quieted around the call that makes them talk.
#pragma once

namespace kelvo::platform
{

class CQuietErrorOutput
{
public:
    CQuietErrorOutput();
    ~CQuietErrorOutput();
    CQuietErrorOutput(const CQuietErrorOutput&) = delete;
    CQuietErrorOutput& operator=(const CQuietErrorOutput&) = delete;

private:
    int m_saved = -1;
};

} // namespace kelvo::platform
