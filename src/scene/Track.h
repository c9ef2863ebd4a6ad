// One track: one CAnimation record per frame of one animation of one model.
//
// A vector that remembers whether any record may have changed since the track
// was last in-betweened. Every non-const access marks it dirty (conservatively:
// a non-const read also counts), so in-betweening can skip tracks that provably
// did not change and still give exactly the result of baking every track.
#pragma once

#include <cstddef>
#include <vector>

#include "scene/CAnimation.h"

namespace vantomo {

class Track {
public:
    using value_type = CAnimation;
    using iterator = std::vector<CAnimation>::iterator;
    using const_iterator = std::vector<CAnimation>::const_iterator;

    Track() = default;
    explicit Track(std::size_t count) : m_records(count) {}
    Track(std::size_t count, const CAnimation& value) : m_records(count, value) {}

    std::size_t size() const { return m_records.size(); }
    bool empty() const { return m_records.empty(); }

    const CAnimation& operator[](std::size_t i) const { return m_records[i]; }
    CAnimation& operator[](std::size_t i)
    {
        m_dirty = true;
        return m_records[i];
    }
    const CAnimation& front() const { return m_records.front(); }
    const CAnimation& back() const { return m_records.back(); }

    const_iterator begin() const { return m_records.begin(); }
    const_iterator end() const { return m_records.end(); }
    iterator begin()
    {
        m_dirty = true;
        return m_records.begin();
    }
    iterator end()
    {
        m_dirty = true;
        return m_records.end();
    }

    const CAnimation* data() const { return m_records.data(); }
    CAnimation* data()
    {
        m_dirty = true;
        return m_records.data();
    }

    void resize(std::size_t count)
    {
        m_dirty = true;
        m_records.resize(count);
    }
    void resize(std::size_t count, const CAnimation& value)
    {
        m_dirty = true;
        m_records.resize(count, value);
    }
    void reserve(std::size_t count) { m_records.reserve(count); }
    void clear()
    {
        m_dirty = true;
        m_records.clear();
    }
    void push_back(const CAnimation& record)
    {
        m_dirty = true;
        m_records.push_back(record);
    }
    iterator insert(const_iterator pos, std::size_t count, const CAnimation& value)
    {
        m_dirty = true;
        return m_records.insert(pos, count, value);
    }
    iterator erase(const_iterator first, const_iterator last)
    {
        m_dirty = true;
        return m_records.erase(first, last);
    }

    const std::vector<CAnimation>& Records() const { return m_records; }
    std::vector<CAnimation>& MutableRecords()
    {
        m_dirty = true;
        return m_records;
    }

    // True when a record may differ from what the last in-betweening left.
    bool IsDirty() const { return m_dirty; }
    // Called by the in-betweening once it has baked this track.
    void MarkBaked() { m_dirty = false; }

    bool operator==(const Track& o) const { return m_records == o.m_records; }

private:
    std::vector<CAnimation> m_records;
    bool m_dirty = true;
};

} // namespace vantomo
