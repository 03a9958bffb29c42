// SPDX-License-Identifier: MIT
#pragma once
// The figures of a view and of its reference, run after run: their medians,
// printed on one line with their ratio.

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline double medianValue(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

template <typename Figures>
double medianOf(const std::vector<Figures>& runs, double Figures::*field)
{
    std::vector<double> values;
    for (const Figures& figures : runs)
        values.push_back(figures.*field);
    return medianValue(values);
}

inline void printSideBySide(const char* what, double ours, double reference, const char* unit)
{
    std::printf("  %-22s %10.1f %-3s %10.1f %-3s  ratio %.2f\n", what, ours, unit, reference, unit,
                reference > 0 ? ours / reference : 0.0);
}

} // namespace bench
