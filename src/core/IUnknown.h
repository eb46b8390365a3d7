// IUnknown: the reference-counted base of devices, drivers, files, textures and
// GUI elements. A new object has a count of 1; grab adds one, drop removes one
// and deletes the object with the last reference. Whoever creates (create*) or
// grabs an object drops it exactly once.
#pragma once

namespace zu
{

class IUnknown
{
public:
    IUnknown() = default;
    IUnknown(const IUnknown&) = delete;
    IUnknown& operator=(const IUnknown&) = delete;
    virtual ~IUnknown() = default;

    void grab() const { ++m_refCount; }

    // Returns true when this call deleted the object.
    bool drop() const
    {
        if (--m_refCount == 0)
        {
            delete this;
            return true;
        }
        return false;
    }

    int getReferenceCount() const { return m_refCount; }
    const char* getDebugName() const { return m_debugName; }

protected:
    void setDebugName(const char* name) { m_debugName = name; }

private:
    mutable int m_refCount = 1;
    const char* m_debugName = nullptr;
};

// Drops and clears a pointer if it is set.
template <class T> void dropAndClear(T*& object)
{
    if (object)
    {
        object->drop();
        object = nullptr;
    }
}

} // namespace zu
