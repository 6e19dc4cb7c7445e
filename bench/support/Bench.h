#pragma once

// What the benchmarks share beyond the credential store: where their stores send requests, and the median
// their figures are compared by.

#include "api/HalvoAPIClient.h"

#include <algorithm>
#include <vector>

namespace halvo::bench {

/// A closed port on this machine for every region: a benchmark's store never sends anything off it.
inline HalvoAPIClient::BaseUrls loopbackUrls() {
    HalvoAPIClient::BaseUrls urls;
    for (const HalvoRegion region : kAllRegions)
        urls.insert(region, QUrl(QStringLiteral("http://127.0.0.1:9/1.0")));
    return urls;
}

inline double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    if (n == 0)
        return 0;
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

} // namespace halvo::bench
