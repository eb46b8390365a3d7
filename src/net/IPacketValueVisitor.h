// IPacketValueVisitor: receives the values of a variable packet in signature
// order, each with its position counted from 1 (the key a script table gets).
#pragma once

#include "core/CString.h"

#include <cstdint>

namespace zu::net
{

class IPacketValueVisitor
{
  public:
    virtual ~IPacketValueVisitor() = default;
    virtual void onBoolean(int index, bool value) = 0;
    virtual void onInteger(int index, int32_t value) = 0;
    virtual void onFloat(int index, float value) = 0;
    virtual void onString(int index, const core::CString& value) = 0;
    // A nil value, or an unknown signature character.
    virtual void onNil(int index) = 0;
};

} // namespace zu::net
