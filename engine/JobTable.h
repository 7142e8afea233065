#pragma once
// The table of live engine objects behind the C handles. A handle is a number, never a pointer to the
// object, so a closed or made-up handle finds nothing instead of freed memory. Lookups hand out shared
// ownership: an object closed while another thread still uses it lives until that use ends.
#include "media/MediaEngine.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace engine {

// Base of everything a handle may name.
class EngineObject
{
public:
    virtual ~EngineObject() = default;
};

class JobTable
{
public:
    static JobTable &instance();

    // Registers `object` and returns its new handle (never 0).
    MEDIA_HANDLE add(std::shared_ptr<EngineObject> object);

    // The object of `handle` when it is alive and of type T; nullptr otherwise.
    template <class T>
    std::shared_ptr<T> find(MEDIA_HANDLE handle)
    {
        return std::dynamic_pointer_cast<T>(findObject(handle));
    }

    // Removes `handle` when it names a T; returns the object (nullptr when there was none).
    template <class T>
    std::shared_ptr<T> remove(MEDIA_HANDLE handle)
    {
        std::lock_guard lock(m_mutex);
        auto it = m_objects.find(reinterpret_cast<uintptr_t>(handle));
        if (it == m_objects.end())
            return nullptr;
        auto object = std::dynamic_pointer_cast<T>(it->second);
        if (object)
            m_objects.erase(it);
        return object;
    }

private:
    JobTable();
    std::shared_ptr<EngineObject> findObject(MEDIA_HANDLE handle);

    std::mutex m_mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<EngineObject>> m_objects;
    uintptr_t m_next = 1;
};

} // namespace engine
