#pragma once
// For the real-engine tests that run the same export one piece after another and side by side: the
// engine with a chosen number of idle cores and a count of the Starts running at once, and what a
// written file holds, for comparing the two runs.
#include "tests/support/ProbeDecoder.h"
#include "toolkit/EngineApi.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <set>
#include <string>
#include <vector>

namespace sidebyside {

inline std::atomic<int> idle{0}, running{0}, mostAtOnce{0}, begun{0};

// The real Start, counted; side by side, the first waits (ten seconds at most: a loaded machine may
// be slow to start the second's worker) for the second, so that the two really run together.
inline int countedStart(MEDIA_HANDLE h)
{
    const int now = ++running;
    for (int most = mostAtOnce; now > most && !mostAtOnce.compare_exchange_weak(most, now);)
        ;
    if (++begun == 1 && idle > 0)
        for (int i = 0; i < 1000 && begun < 2; ++i)
            QThread::msleep(10);
    const int result = apiMediaConvertStart(h);
    --running;
    return result;
}

// The real engine for the life of the object, reporting `idleCores` idle cores (0: one job at a time).
class Engine
{
public:
    explicit Engine(int idleCores)
    {
        idle = idleCores;
        running = mostAtOnce = begun = 0;
        EngineApi api;
        api.convertStart = countedStart;
        api.idleCores = [] { return idle.load(); };
        m_previous = EngineApi::install(api);
    }
    ~Engine() { EngineApi::install(m_previous); }
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;

private:
    EngineApi m_previous;
};

// What a file holds: its stamped frames, its sound packets, and its picture packets: how many, and those
// copied from the source. The seams' encoder takes as many threads as cores are idle at the time, which
// its packets show (its settings are written in the first), so seams are compared by their frames.
struct Holds
{
    std::vector<int> frames;
    std::vector<std::string> audio, copied;
    size_t pictures = 0;
    bool operator==(const Holds &) const = default;
};

inline std::set<std::string> videoPackets(const QString &source)
{
    const std::vector<std::string> packets = fixture::packetHashes(source.toStdString(), "video");
    return {packets.begin(), packets.end()};
}

inline Holds holds(const QString &path, const std::set<std::string> &source)
{
    const std::string p = path.toStdString();
    Holds h{fixture::decodeAllFrameIndices(p), fixture::packetHashes(p, "audio"), {}, 0};
    for (const std::string &packet : fixture::packetHashes(p, "video")) {
        ++h.pictures;
        if (source.count(packet))
            h.copied.push_back(packet);
    }
    return h;
}

} // namespace sidebyside
