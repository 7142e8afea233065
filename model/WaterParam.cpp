#include "model/WaterParam.h"

#include "services/LanguageService.h"
#include "platform/Log.h"

WaterParam::WaterParam()
    : m_waterFontName(LanguageService::isalaboLanguage() ? QStringLiteral("Muna")
                                                         : QStringLiteral(".AppleSystemUIFont")),
      m_waterFontColor(QColor::fromRgbF(0.0f, 0.0f, 1.0f, 1.0f))
{
}

WaterParam::~WaterParam()
{
    platform::log("%s", __PRETTY_FUNCTION__);
}

std::shared_ptr<WaterParam> WaterParam::copy() const
{
    auto other = std::make_shared<WaterParam>();
    other->m_waterAlph = m_waterAlph;
    other->m_waterImagePath = m_waterImagePath;
    other->m_waterRect = m_waterRect;
    other->m_waterText = m_waterText;
    other->m_waterType = m_waterType;
    other->m_waterPercentClipRect = m_waterPercentClipRect;
    other->m_waterFontName = m_waterFontName;
    other->m_waterFontSize = m_waterFontSize;
    other->m_waterFontColor = m_waterFontColor;
    other->m_waterViewFrameWidth = m_waterViewFrameWidth;
    return other;
}
