#include "model/FileData.h"

#include "platform/Log.h"

FileData::~FileData()
{
    platform::log("%s", __PRETTY_FUNCTION__);
}
