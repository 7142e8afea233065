#include "toolkit/EngineApi.h"

namespace {

EngineApi &table()
{
    static EngineApi api;
    return api;
}

} // namespace

const EngineApi &EngineApi::current()
{
    return table();
}

EngineApi EngineApi::install(const EngineApi &api)
{
    const EngineApi previous = table();
    table() = api;
    return previous;
}
