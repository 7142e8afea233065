#include "model/SimpleData.h"

#include "platform/Log.h"

SimpleData::SimpleData()
    : m_sourceData(std::make_shared<FileData>()), m_targetData(std::make_shared<FileData>()),
      m_waterParam(std::make_shared<WaterParam>()), m_subtitleParam(std::make_shared<SubtitleParam>())
{
}

SimpleData::~SimpleData()
{
    platform::log("%s", __PRETTY_FUNCTION__);
}
