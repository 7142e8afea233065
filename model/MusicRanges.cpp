#include "model/MusicRanges.h"

#include "model/MusicInfo.h"

#include <algorithm>

namespace MusicRanges {

Ranges forTrack(const MusicInfo &m, Form form)
{
    Ranges r;
    const float span = m.positionEnd() - m.positionStart();
    r.timelineStart = m.positionStart();
    r.timelineEnd =
        span > m.pruneDiration() && !m.repeat() ? m.positionStart() + m.pruneDiration() : m.positionEnd();
    if (m.prune()) {
        r.sourceStart = m.pruneStart();
        r.sourceEnd = m.pruneStart() + m.pruneDiration();
    } else {
        r.sourceEnd = form == Form::Export ? std::min(span, m.duration()) : m.duration();
    }
    r.fadeIn = m.fadeIn();
    r.fadeOut = m.fadeOut();
    r.volume = double(m.volume());
    return r;
}

bool stretchSpan(MusicInfo &m, float videoSeconds)
{
    const float start = m.positionStart(), end = m.positionEnd();
    if (m.pruneDiration() > m.positionEnd() - m.positionStart())
        m.setPositionEnd(m.positionStart() + m.pruneDiration());
    if (m.positionStart() + m.pruneDiration() > videoSeconds) {
        m.setPositionStart(std::max(videoSeconds - m.pruneDiration(), 0.0f));
        m.setPositionEnd(videoSeconds);
    }
    return start != m.positionStart() || end != m.positionEnd();
}

} // namespace MusicRanges
