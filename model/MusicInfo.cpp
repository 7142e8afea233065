#include "model/MusicInfo.h"

#include "platform/Log.h"

MusicInfo::~MusicInfo()
{
    platform::log("%s", __PRETTY_FUNCTION__);
}
