#pragma once
// A recording fake of the engine's function table for every tool's export tests: every call is written as
// one line ("frameSize 1280 720", "joinVolume 1 0.5"), results are scripted, and Start can be held until
// Stop arrives or the test releases that job with a result (jobs side by side, ending in any order); the
// machine reports plenty of idle cores unless told. A conversion or join "writes" its output by creating
// the file at its output path, so
// cleanup can be seen. Install it for the life of one test with RecordingEngine::Installed; read the
// calls with recorded(), only({"prefix", ...}) or count("prefix").
#include "platform/Dispatch.h"
#include "toolkit/EngineApi.h"

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

struct RecordingEngine
{
    static inline std::mutex mutex;
    static inline std::condition_variable stopped;
    static inline std::vector<std::string> lines;
    static inline std::map<void *, std::string> outputs;
    static inline std::atomic<int> convertProgress{0};
    static inline std::atomic<bool> holdStart{false};
    // A held Start returns once stop(nullptr) was called, its own job was stopped, or release() gave it
    // a result (so jobs running side by side can end in any order).
    static inline std::atomic<bool> stopAsked{false};
    static inline std::set<void *> stoppedJobs;
    static inline std::map<void *, int> releasedJobs;
    static inline std::vector<void *> created; // every handle, in the order the jobs were created
    // A held job that is stopped returns MEDIA_ERR_STOPPED and writes nothing, as the engine does, unless
    // it is to report success all the same (a stop that came too late).
    static inline std::atomic<bool> successAfterStop{false};
    static inline int nextHandle = 0;
    // Scripted results.
    static inline int inputResult = MEDIA_OK;
    static inline int outputResult = MEDIA_OK;
    static inline int musicResult = MEDIA_OK;
    static inline std::vector<int> startResults; // per conversion Start, in order; MEDIA_OK when run out
    // Per GetEndTime call, in order; when run out, the end of the job's cut (0 without one).
    static inline std::vector<int64_t> endTimes;
    static inline std::map<void *, int64_t> cutEnds;
    static inline int joinStartResult = MEDIA_OK;
    static inline int addClipResult = 1; // > 0: clips get the ids 1, 2, ... as the engine gives them
    static inline int clipsAdded = 0;
    static inline int closes = 0;
    // What the machine reports as idle cores: plenty, so steps marked parallel run side by side.
    static inline std::atomic<int> idleCores{8};

    static void record(const std::string &line)
    {
        std::lock_guard lock(mutex);
        lines.push_back(line);
    }
    static std::string n(double v)
    {
        std::string s = std::to_string(v);
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.')
            s.pop_back();
        return s;
    }
    static std::vector<std::string> recorded()
    {
        std::lock_guard lock(mutex);
        return lines;
    }
    // The recorded lines that begin with one of `prefixes`.
    static std::vector<std::string> only(const std::vector<std::string> &prefixes)
    {
        std::vector<std::string> out;
        for (const std::string &line : recorded())
            for (const std::string &p : prefixes)
                if (line.rfind(p + " ", 0) == 0 || line == p) {
                    out.push_back(line);
                    break;
                }
        return out;
    }
    static int count(const std::string &prefix) { return static_cast<int>(only({prefix}).size()); }
    static std::string rectText(const RECT &r)
    {
        return n(r.left) + " " + n(r.top) + " " + n(r.right) + " " + n(r.bottom);
    }

    static MEDIA_HANDLE create(const char *what)
    {
        std::lock_guard lock(mutex);
        lines.push_back(what);
        created.push_back(reinterpret_cast<MEDIA_HANDLE>(static_cast<intptr_t>(++nextHandle)));
        return created.back();
    }
    static int finishJob(MEDIA_HANDLE h, int result)
    {
        if (holdStart) {
            std::unique_lock lock(mutex);
            stopped.wait_for(lock, std::chrono::seconds(10),
                             [h] { return stopAsked || stoppedJobs.count(h) || releasedJobs.count(h); });
            if (releasedJobs.count(h))
                result = releasedJobs[h];
            else if ((stopAsked || stoppedJobs.count(h)) && !successAfterStop)
                result = MEDIA_ERR_STOPPED;
        }
        if (result > 0) {
            std::lock_guard lock(mutex);
            QFile file(QString::fromStdString(outputs[h]));
            if (file.open(QIODevice::WriteOnly))
                file.write("x");
        }
        return result;
    }
    // Stops the held job `h`, or every one (now and to come) for a null `h`.
    static int stop(MEDIA_HANDLE h)
    {
        {
            std::lock_guard lock(mutex);
            if (h)
                stoppedJobs.insert(h);
            else
                stopAsked = true;
            lines.push_back("stop");
        }
        stopped.notify_all();
        return MEDIA_OK;
    }
    // Lets the held job `h` end with `result`.
    static void release(MEDIA_HANDLE h, int result)
    {
        {
            std::lock_guard lock(mutex);
            releasedJobs[h] = result;
        }
        stopped.notify_all();
    }
    // The handle of the `n`-th job created since the last reset (0 = the first); null when none.
    static MEDIA_HANDLE job(size_t n)
    {
        std::lock_guard lock(mutex);
        return n < created.size() ? created[n] : nullptr;
    }

    static EngineApi api()
    {
        EngineApi a;
        a.convertCreate = [] { return create("create"); };
        a.convertSetInputMedia = [](MEDIA_HANDLE, const char *p) {
            record(std::string("input ") + p);
            return inputResult;
        };
        a.convertSetVcodec = [](MEDIA_HANDLE, const char *c) {
            record(std::string("vcodec ") + c);
            return int(MEDIA_OK);
        };
        a.convertSetVideoFrameSize = [](MEDIA_HANDLE, int w, int h) {
            record("frameSize " + n(w) + " " + n(h));
            return int(MEDIA_OK);
        };
        a.convertSetVideoBitrate = [](MEDIA_HANDLE, int k) {
            record("videoBitrate " + n(k));
            return int(MEDIA_OK);
        };
        a.convertSetVideoFps = [](MEDIA_HANDLE, double f) {
            record("fps " + n(f));
            return int(MEDIA_OK);
        };
        a.convertSetAcodec = [](MEDIA_HANDLE, const char *c) {
            record(std::string("acodec ") + c);
            return int(MEDIA_OK);
        };
        a.convertSetAudioBitrate = [](MEDIA_HANDLE, int k) {
            record("audioBitrate " + n(k));
            return int(MEDIA_OK);
        };
        a.convertSetAudioEncodeContext = [](MEDIA_HANDLE, int c, int r) {
            record("encodeContext " + n(c) + " " + n(r));
            return int(MEDIA_OK);
        };
        a.convertSetAudioIndex = [](MEDIA_HANDLE, int i) {
            record("audioIndex " + n(i));
            return int(MEDIA_OK);
        };
        a.convertSetMaineAudioVolume = [](MEDIA_HANDLE, double v) {
            record("mainVolume " + n(v));
            return int(MEDIA_OK);
        };
        a.convertSetSubtitle = [](MEDIA_HANDLE, SUBTITLE_PARAM s) {
            record(std::string("subtitle ") + s.path + " " + n(s.fontclr) + " " + n(s.shadowclr));
            return int(MEDIA_OK);
        };
        a.convertAddImageEffect = [](MEDIA_HANDLE, int e) {
            record("effect " + n(e));
            return int(MEDIA_OK);
        };
        a.convertAdjustBCS = [](MEDIA_HANDLE, int b, int c, int s) {
            record("bcs " + n(b) + " " + n(c) + " " + n(s));
            return int(MEDIA_OK);
        };
        a.convertSetCutTime = [](MEDIA_HANDLE h, int64_t s, int64_t e) {
            record("cut " + std::to_string(s) + " " + std::to_string(e));
            {
                std::lock_guard lock(mutex);
                cutEnds[h] = e;
            }
            return int(MEDIA_OK);
        };
        a.convertSetLimitFileSize = [](MEDIA_HANDLE, int64_t bytes) {
            record("limitFileSize " + std::to_string(bytes));
            return int(MEDIA_OK);
        };
        a.convertSetCropSize = [](MEDIA_HANDLE, RECT r) {
            record("crop " + rectText(r));
            return int(MEDIA_OK);
        };
        a.convertHFlipStatus = [](MEDIA_HANDLE, int f) {
            record("hflip " + n(f));
            return int(MEDIA_OK);
        };
        a.convertVFlipStatus = [](MEDIA_HANDLE, int f) {
            record("vflip " + n(f));
            return int(MEDIA_OK);
        };
        a.convertSetRotateAngle = [](MEDIA_HANDLE, int d) {
            record("rotate " + n(d));
            return int(MEDIA_OK);
        };
        a.convertSetDrawTextCallback = [](MEDIA_DRAW_TEXT_CALLBACK cb) {
            record(cb ? "textCallback" : "textCallback none");
        };
        a.convertAddImageWatermask = [](MEDIA_HANDLE, IMAGE_WATERMARK_PARAM w) {
            record(std::string("image ") + w.path + " " + rectText(w.rect) + " " +
                   std::to_string(w.start_time) + " " + std::to_string(w.end_time));
            return int(MEDIA_OK);
        };
        a.convertAddVideoWatermark = [](MEDIA_HANDLE, VIDEO_WATERMARK_PARAM w) {
            record(std::string("video ") + w.path + " " + std::to_string(w.start_time) + " " +
                   std::to_string(w.end_time));
            return int(MEDIA_OK);
        };
        a.convertAddTextWatermask = [](MEDIA_HANDLE, TEXT_WATERMARK_PARAM w) {
            record(std::string("text ") + w.text + " " + rectText(w.rect) + " " + n(w.fontsize) + " " +
                   n(w.fontclr) + " " + std::to_string(w.start_time) + " " + std::to_string(w.end_time));
            return int(MEDIA_OK);
        };
        a.convertAddDubbingMusic = [](MEDIA_HANDLE, const char *p, int64_t ss, int64_t se, int64_t ts,
                                      int64_t te, int fi, int fo, double v) {
            record(std::string("music ") + p + " " + std::to_string(ss) + " " + std::to_string(se) + " " +
                   std::to_string(ts) + " " + std::to_string(te) + " " + n(fi) + " " + n(fo) + " " + n(v));
            return musicResult;
        };
        a.convertDisableMainAudio = [](MEDIA_HANDLE) {
            record("disableMainAudio");
            return int(MEDIA_OK);
        };
        a.convertSetOutputPath = [](MEDIA_HANDLE h, const char *p) {
            record(std::string("output ") + p);
            std::lock_guard lock(mutex);
            outputs[h] = p;
            return outputResult;
        };
        a.convertStart = [](MEDIA_HANDLE h) {
            int result = MEDIA_OK;
            {
                std::lock_guard lock(mutex);
                lines.push_back("start");
                if (!startResults.empty()) {
                    result = startResults.front();
                    startResults.erase(startResults.begin());
                }
            }
            return finishJob(h, result);
        };
        a.convertGetProgress = [](MEDIA_HANDLE) { return convertProgress.load(); };
        a.convertGetEndTime = [](MEDIA_HANDLE h) {
            std::lock_guard lock(mutex);
            lines.push_back("endTime");
            if (endTimes.empty())
                return cutEnds.count(h) ? cutEnds[h] : int64_t(0);
            const int64_t end = endTimes.front();
            endTimes.erase(endTimes.begin());
            return end;
        };
        a.convertStop = [](MEDIA_HANDLE h) { return stop(h); };
        a.convertClose = [](MEDIA_HANDLE) {
            std::lock_guard lock(mutex);
            lines.push_back("close");
            ++closes;
            return int(MEDIA_OK);
        };

        a.joinCreate = [] { return create("joinCreate"); };
        a.joinSetOutputPath = [](MEDIA_HANDLE h, const char *p) {
            record(std::string("joinOutput ") + p);
            std::lock_guard lock(mutex);
            outputs[h] = p;
            return int(MEDIA_OK);
        };
        a.joinAddMediaClip = [](MEDIA_HANDLE, const char *p, uint64_t s, uint64_t e) {
            record(std::string("joinClip ") + p + " " + std::to_string(s) + " " + std::to_string(e));
            std::lock_guard lock(mutex);
            return addClipResult > 0 ? ++clipsAdded : addClipResult;
        };
        a.joinSetAudioCodec = [](MEDIA_HANDLE, const char *c) {
            record(std::string("joinAcodec ") + c);
            return int(MEDIA_OK);
        };
        a.joinSetVideoCodec = [](MEDIA_HANDLE, const char *c) {
            record(std::string("joinVcodec ") + c);
            return int(MEDIA_OK);
        };
        a.joinSetAudioVolumn = [](MEDIA_HANDLE, int clip, double v) {
            record("joinVolume " + n(clip) + " " + n(v));
            return int(MEDIA_OK);
        };
        a.joinSetTransition = [](MEDIA_HANDLE, int clip, int code, int64_t length) {
            record("joinTransition " + n(clip) + " " + n(code) + " " + std::to_string(length));
            return int(MEDIA_OK);
        };
        a.joinSetVideoBitrate = [](MEDIA_HANDLE, int k) {
            record("joinVideoBitrate " + n(k));
            return int(MEDIA_OK);
        };
        a.joinSetAudioBitrate = [](MEDIA_HANDLE, int k) {
            record("joinAudioBitrate " + n(k));
            return int(MEDIA_OK);
        };
        a.joinSetVideoFps = [](MEDIA_HANDLE, double f) {
            record("joinFps " + n(f));
            return int(MEDIA_OK);
        };
        a.joinSetVideoFrameSize = [](MEDIA_HANDLE, int w, int h) {
            record("joinFrameSize " + n(w) + " " + n(h));
            return int(MEDIA_OK);
        };
        a.joinSetAudioEncodeContext = [](MEDIA_HANDLE, int c, int r) {
            record("joinEncodeContext " + n(c) + " " + n(r));
            return int(MEDIA_OK);
        };
        a.joinStart = [](MEDIA_HANDLE h) {
            record("joinStart");
            return finishJob(h, joinStartResult);
        };
        a.joinGetProgress = [](MEDIA_HANDLE) { return 50.0; };
        a.idleCores = [] { return idleCores.load(); };
        a.joinStop = [](MEDIA_HANDLE h) { return stop(h); };
        a.joinClose = [](MEDIA_HANDLE) {
            std::lock_guard lock(mutex);
            lines.push_back("joinClose");
            ++closes;
            return int(MEDIA_OK);
        };
        return a;
    }

    static void reset()
    {
        std::lock_guard lock(mutex);
        lines.clear();
        outputs.clear();
        convertProgress = 0;
        holdStart = false;
        stopAsked = false;
        stoppedJobs.clear();
        releasedJobs.clear();
        created.clear();
        successAfterStop = false;
        inputResult = outputResult = musicResult = MEDIA_OK;
        startResults.clear();
        endTimes.clear();
        cutEnds.clear();
        joinStartResult = MEDIA_OK;
        addClipResult = 1;
        clipsAdded = 0;
        closes = 0;
        idleCores = 8;
    }

    class Installed
    {
    public:
        Installed() : m_previous(EngineApi::install(api())) { reset(); }
        ~Installed()
        {
            // A held Start must not outlive the test.
            stop(nullptr);
            platform::waitForGlobalQueue();
            EngineApi::install(m_previous);
        }

    private:
        EngineApi m_previous;
    };
};
