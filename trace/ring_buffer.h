#pragma once

#include <cassert>
#include <cstddef>
#include <utility>
#include <vector>

// A fixed number of items, oldest first: once full, each new item pushes out the oldest, so the
// memory it holds never grows however long the program runs.
template <typename T> class CRingBuffer {
public:
    explicit CRingBuffer(std::size_t capacity) : m_items(capacity) { assert(capacity > 0); }

    // Answers whether the oldest item had to go to make room.
    bool Push(T item) {
        m_items[(m_first + m_size) % m_items.size()] = std::move(item);
        if (m_size < m_items.size()) {
            ++m_size;
            return false;
        }
        m_first = (m_first + 1) % m_items.size();
        return true;
    }

    void DropOldest() {
        assert(m_size > 0);
        m_first = (m_first + 1) % m_items.size();
        --m_size;
    }

    // 0 is the oldest item.
    const T& operator[](std::size_t index) const {
        assert(index < m_size);
        return m_items[(m_first + index) % m_items.size()];
    }
    const T& Newest() const { return (*this)[m_size - 1]; }

    std::size_t Size() const { return m_size; }
    std::size_t Capacity() const { return m_items.size(); }
    bool Empty() const { return m_size == 0; }
    bool Full() const { return m_size == m_items.size(); }

private:
    std::vector<T> m_items;
    std::size_t m_first = 0;
    std::size_t m_size = 0;
};
