#include "bench/BenchProcess.h"

#include <algorithm>
#include <chrono>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

Measure runProcess(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    Measure m;
    int status = 0;
    struct rusage usage = {};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return m;
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakKb = usage.ru_maxrss;
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace bench
