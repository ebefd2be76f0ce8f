#pragma once
// The chart as a run's result is drawn on it (write_result.h): six series
// addressed by index 0 to 5, each with a title and a list of points (x, y,
// label, colour) kept in ascending order of x. A series index outside 0 to 5
// raises the numerical fault.

#include <cstdint>
#include <string>

namespace envelope {

// Colours are 0x00BBGGRR: red in the low byte, blue in the third.
using Colour = std::uint32_t;

class Chart {
public:
    static constexpr int SeriesCount = 6;

    virtual ~Chart() = default;

    virtual void setSeriesTitle(int series, const std::string& title) = 0;
    // Inserts the point after every point whose x is less than or equal to
    // its own and returns the index at which it now stands.
    virtual int addPoint(int series, double x, double y, const std::string& label, Colour colour) = 0;
};

} // namespace envelope
