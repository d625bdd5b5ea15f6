#pragma once

#include "task_allocator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Fails any test that ends with more or fewer live task-allocator blocks than it began with.
class AllocatorBalanceListener : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override { m_start = CoTaskMemLiveBlocks(); }
    void OnTestEnd(const ::testing::TestInfo& info) override {
        const auto live = CoTaskMemLiveBlocks();
        if (live != m_start) {
            ADD_FAILURE() << "task allocator unbalanced: " << (live - m_start)
                          << " block(s) left live";
            m_unbalanced.push_back(std::string(info.test_suite_name()) + "." + info.name());
            m_start = live;
        }
    }
    const std::vector<std::string>& Unbalanced() const { return m_unbalanced; }

private:
    std::int64_t m_start = 0;
    std::vector<std::string> m_unbalanced;
};
