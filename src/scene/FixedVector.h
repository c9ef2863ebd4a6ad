// A vector with a small fixed capacity stored inline. Faces have at most four
// corners; keeping them inline spares a million heap blocks on a big import.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <initializer_list>

namespace vantomo {

template <typename T, std::size_t Capacity>
class FixedVector {
public:
    using value_type = T;
    using iterator = T*;
    using const_iterator = const T*;

    constexpr FixedVector() = default;
    FixedVector(std::initializer_list<T> values)
    {
        for (const T& v : values) {
            push_back(v);
        }
    }

    static constexpr std::size_t capacity() { return Capacity; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    T& operator[](std::size_t i) { return m_items[i]; }
    const T& operator[](std::size_t i) const { return m_items[i]; }
    T* begin() { return m_items; }
    T* end() { return m_items + m_size; }
    const T* begin() const { return m_items; }
    const T* end() const { return m_items + m_size; }
    T* data() { return m_items; }
    const T* data() const { return m_items; }

    // Returns false (and changes nothing) when the vector is full.
    bool push_back(const T& value)
    {
        if (m_size >= Capacity) {
            return false;
        }
        m_items[m_size++] = value;
        return true;
    }
    // Sizes beyond the capacity are clamped to it.
    void resize(std::size_t count)
    {
        count = std::min(count, Capacity);
        for (std::size_t i = m_size; i < count; ++i) {
            m_items[i] = T{};
        }
        m_size = static_cast<unsigned char>(count);
    }
    void clear() { m_size = 0; }

    bool operator==(const FixedVector& o) const
    {
        return std::equal(begin(), end(), o.begin(), o.end());
    }

private:
    T m_items[Capacity] = {};
    unsigned char m_size = 0;
};

} // namespace vantomo
