#pragma once

// How long the reconnector waits before its next try after a run of failed ones. This
// computer's bus answers a try at once and costs nothing: a fixed period. A remote computer's
// costs an SSH login each: the wait doubles up to a minute, so that a lab's login lockout never
// trips, and part of it is random, so that clients that lost the same instrument do not try in
// step.
struct RetryBackoff {
    int firstMs;
    int maxMs;
    // The share of a wait taken off it at random.
    double jitter;

    static RetryBackoff Fixed(int periodMs) { return {periodMs, periodMs, 0.0}; }
    static RetryBackoff Remote();

    // The wait after failedTries failures in a row (none: the first wait); random in [0, 1).
    int DelayMs(int failedTries, double random) const;
};
