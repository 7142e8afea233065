#pragma once
// The application's resident memory across a session of exports, in one process on the offscreen
// platform with the test environment (a temporary home, scripted panels): the launcher opens, the editor
// opens on a 1080p clip from the launcher, plays it, exports it a few times with edits (H.264 trimmed,
// HEVC trimmed and turned, H.264 mirrored), closes, and only the launcher is left. The resident size is
// read at each step; the figure that counts is the launcher alone after a session against the launcher
// alone before it (target: within 100 MiB).
//
//   app_memory_bench [SESSIONS]   make the clip, run SESSIONS sessions (2 unless told) in a fresh
//                                 process of its own, and print the figures
#include <QString>

class AppMemoryBench
{
public:
    // Runs `sessions` sessions on `clip`, writing the exports into `folder` (each removed once probed
    // by its size), and prints the resident size at each step. Needs the QApplication and the test
    // environment; 0 when every export finished, 1 otherwise.
    static int run(const QString &clip, const QString &folder, int sessions);
    // The resident size of this process in KiB (VmRSS), -1 when it cannot be read.
    static long residentKb();
    // A "Name: <n> kB" field of /proc/self/status in KiB, -1 when it cannot be read.
    static long statusKb(const char *field);
};
