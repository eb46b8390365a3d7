// Fuzz target: a received packet read as a variable packet, every value in
// its signature, then each kind of read from a fresh cursor. No read may pass
// the packet's length field or the bytes held.
#include "core/Output.h"
#include "net/CVariablePacketParser.h"
#include "net/IPacketValueVisitor.h"

#include <cstdint>
#include <cstring>

namespace
{

void quiet(const char*) {}

class CBoundsCheck : public zu::net::IPacketValueVisitor
{
  public:
    explicit CBoundsCheck(size_t limit) : m_limit(limit) {}
    void onBoolean(int index, bool) override { checkIndex(index); }
    void onInteger(int index, int32_t) override { checkIndex(index); }
    void onFloat(int index, float) override { checkIndex(index); }
    void onString(int index, const zu::core::CString& value) override
    {
        checkIndex(index);
        if (value.size() > m_limit || memchr(value.data(), 0, value.size())) __builtin_trap();
    }
    void onNil(int index) override { checkIndex(index); }

  private:
    void checkIndex(int index)
    {
        if (index != ++m_last) __builtin_trap();
    }
    size_t m_limit;
    int m_last = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool silenced = (zu::core::setPrintHook(&quiet), true);
    (void)silenced;
    // An exact-size copy, so reading one byte past the input is caught.
    uint8_t* copy = new uint8_t[size ? size : 1];
    if (size) memcpy(copy, data, size);

    zu::net::CVariablePacketParser parser(copy, size);
    size_t end = size < parser.getLength() ? size : parser.getLength();
    CBoundsCheck check(size);
    parser.readValues(check);
    if (size >= 4 && parser.getCursor() > (end > 4 ? end : 4)) __builtin_trap();

    zu::net::CVariablePacketParser reads(copy, size);
    for (int round = 0; round < 64 && reads.getCursor() < end; ++round)
    {
        switch (round % 5)
        {
        case 0:
            reads.readInt();
            break;
        case 1:
            reads.readFloat();
            break;
        case 2:
            reads.readBoolean();
            break;
        case 3:
            reads.readString();
            break;
        default:
            reads.readWideString();
        }
        if (reads.getCursor() > end) __builtin_trap();
    }
    delete[] copy;
    return 0;
}
