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

// Drops every value of a map of reference-counted objects and empties it.
template <class Map> void dropAll(Map& map)
{
    for (auto& entry : map)
        entry.second->drop();
    map.clear();
}

// Removes one value of such a map and drops it, when the key is there.
template <class Map, class Key> void dropEntry(Map& map, const Key& key)
{
    auto it = map.find(key);
    if (it == map.end())
        return;
    auto* object = it->second;
    map.erase(it);
    object->drop();
}

// The value a map of pointers holds for a key, or none.
template <class Map, class Key> typename Map::mapped_type findEntry(const Map& map, const Key& key)
{
    auto it = map.find(key);
    return it == map.end() ? nullptr : it->second;
}

} // namespace zu
