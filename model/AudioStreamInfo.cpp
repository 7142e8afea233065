#include "model/AudioStreamInfo.h"

#include "platform/Log.h"

// Callers show these texts without a null check, so they start empty rather than null.
AudioStreamInfo::AudioStreamInfo()
    : m_lang(QStringLiteral("")), m_title(QStringLiteral("")), m_psect(QStringLiteral("")),
      m_codec(QStringLiteral(""))
{
}

AudioStreamInfo::~AudioStreamInfo()
{
    platform::log("%s", __PRETTY_FUNCTION__);
}
