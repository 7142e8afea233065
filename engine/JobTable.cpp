#include "engine/JobTable.h"

namespace engine {

JobTable &JobTable::instance()
{
    static JobTable table;
    return table;
}

JobTable::JobTable() = default;

MEDIA_HANDLE JobTable::add(std::shared_ptr<EngineObject> object)
{
    std::lock_guard lock(m_mutex);
    uintptr_t id = m_next++;
    m_objects.emplace(id, std::move(object));
    return reinterpret_cast<MEDIA_HANDLE>(id);
}

std::shared_ptr<EngineObject> JobTable::findObject(MEDIA_HANDLE handle)
{
    if (!handle)
        return nullptr;
    std::lock_guard lock(m_mutex);
    auto it = m_objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == m_objects.end() ? nullptr : it->second;
}

} // namespace engine
