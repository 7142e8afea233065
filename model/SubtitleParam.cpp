#include "model/SubtitleParam.h"

#include "platform/Log.h"

SubtitleParam::SubtitleParam() : m_fontColor(QColor::fromRgbF(1.0f, 1.0f, 1.0f, 1.0f)) {}

SubtitleParam::~SubtitleParam()
{
    platform::log("%s", __PRETTY_FUNCTION__);
}

std::shared_ptr<SubtitleParam> SubtitleParam::copy() const
{
    auto other = std::make_shared<SubtitleParam>();
    other->m_subtitleAlph = m_subtitleAlph;
    other->m_subtitlePath = m_subtitlePath;
    other->m_shadow = m_shadow;
    other->m_positon = m_positon;
    other->m_fontSize = m_fontSize;
    other->m_fontColor = m_fontColor;
    other->m_fontPath = m_fontPath;
    other->m_fontPathList = m_fontPathList;
    other->m_fontSelectIndex = m_fontSelectIndex;
    return other;
}
