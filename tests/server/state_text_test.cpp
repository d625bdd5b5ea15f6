#include "state_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StateText, WholeTableAndFallbacks) {
    const char* expected[] = {"UNKNOWN",        "Unknown",      "Initializing",   "Idle",
                              "Prepare Inject", "Inject Ready", "Running Inject", "Wet Priming",
                              "Priming",        "Diagnostic",   "Error",          "Silking"};
    for (int code = 0; code <= 11; ++code) {
        EXPECT_EQ(std::string(StateText(code)), expected[code]) << code;
    }
    EXPECT_STREQ(StateText(12), "UNKNOWN");
    EXPECT_STREQ(StateText(-1), "UNKNOWN");
    EXPECT_STREQ(StateText(INT32_MIN), "UNKNOWN");
}

TEST(SyringeStateText, WholeTableAndFallbacks) {
    const char* expected[] = {"Invalid",  "Error",   "Home",       "Fill",  "Pre-Compress",
                              "Compress", "Deliver", "Decompress", "Purge", "Empty"};
    for (int code = 0; code <= 9; ++code) {
        EXPECT_EQ(std::string(SyringeStateText(code)), expected[code]) << code;
    }
    EXPECT_STREQ(SyringeStateText(10), "Invalid");
    EXPECT_STREQ(SyringeStateText(12), "Invalid");
    EXPECT_STREQ(SyringeStateText(-1), "Invalid");
    EXPECT_STREQ(SyringeStateText(INT16_MIN), "Invalid");
}

} // namespace
