#pragma once
// How many cores run nothing right now: the one rule by which the engine sizes its seam threads and the
// application decides whether a second export may run beside the first (apiMediaIdleCores).
namespace engine {

// The kernel's count of runnable threads (the caller's included) taken from the cores, never below 0
// (a loaded machine runs more threads than it has cores). The load average lags a minute behind and
// counts threads waiting for disks: measured, it held the seams to one encoder thread (0.86 s for a
// 1080p cut; three threads: 0.57 s) while most cores were idle. Any thread.
int idleCores();

// The same count for `cores` cores and the text of /proc/loadavg ("0.5 0.4 0.3 3/812 4242"); all the
// cores when the text cannot be read.
int idleCores(int cores, const char *loadavg);

} // namespace engine
