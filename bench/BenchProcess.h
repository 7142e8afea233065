#pragma once
// Timing a whole command as a process of its own, shared by every benchmark case.
#include <string>
#include <vector>

namespace bench {

struct Measure
{
    double seconds = 0; // wall time from fork to exit
    long peakKb = 0;    // peak resident size of it and the children it waited for
    bool ok = false;    // exited with 0
};

// Runs `args` (looked up on PATH) and waits for it.
Measure runProcess(const std::vector<std::string> &args);
// The middle value (the upper one of an even count); 0 for none.
double median(std::vector<double> values);

} // namespace bench
