#pragma once
// Pieces of libavfilter's graph text: values escaped so that any path or text survives both levels of
// parsing (the graph's, then the filter's options), and times written as seconds.
#include <cstdint>
#include <string>

namespace engine {

class FilterText
{
public:
    // `value` as one option value inside a graph description: quoted for the option parser, then
    // escaped for the graph parser.
    static std::string value(const std::string &value);
    // Microseconds as seconds with microsecond precision ("2.500000").
    static std::string seconds(int64_t us);
    // A number with six decimals, for factors ("0.500000").
    static std::string number(double v);
};

} // namespace engine
