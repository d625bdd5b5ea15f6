#pragma once

#include <cstddef>
#include <cstdint>

// The task allocator: every block that crosses the instrument server interface comes from here
// and goes back here. It counts live blocks so that tests can prove every block was returned
// exactly once.
void* CoTaskMemAlloc(std::size_t cb);
void CoTaskMemFree(void* pv);

// Blocks allocated and not yet freed, process-wide.
std::int64_t CoTaskMemLiveBlocks();
