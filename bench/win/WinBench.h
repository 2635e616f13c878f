#pragma once

// The Windows benchmarks' own small harness: Google Benchmark does not build
// for MinGW. Times come from QueryPerformanceCounter; each figure is the
// median of repetitions that the caller interleaves with its comparison.
#include <windows.h>

#include <algorithm>
#include <vector>

namespace winbench {

inline double Now()
{
    static const double perSecond = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perSecond;
}

template <class F>
double Seconds(F&& f)
{
    const double t0 = Now();
    f();
    return Now() - t0;
}

inline double Median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace winbench
