#include "retry_backoff.h"

#include <algorithm>

namespace {

constexpr int kRemoteFirstMs = 3000;
constexpr int kRemoteMaxMs = 60000;
constexpr double kRemoteJitter = 0.2;

} // namespace

RetryBackoff RetryBackoff::Remote() {
    return {kRemoteFirstMs, kRemoteMaxMs, kRemoteJitter};
}

int RetryBackoff::DelayMs(int failedTries, double random) const {
    long long delay = firstMs;
    for (int i = 1; i < failedTries && delay < maxMs; ++i) {
        delay *= 2;
    }
    delay = std::min<long long>(delay, maxMs);
    return static_cast<int>(delay - static_cast<long long>(static_cast<double>(delay) * jitter *
                                                           std::clamp(random, 0.0, 1.0)));
}
