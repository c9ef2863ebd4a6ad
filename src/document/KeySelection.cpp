#include "document/KeySelection.h"

#include <algorithm>

namespace vantomo {

namespace {

const std::vector<int> kNoFrames;

} // namespace

KeySelection::KeySelection(std::initializer_list<KeyRef> keys)
{
    for (const KeyRef& key : keys) {
        Add(key.model, key.frame);
    }
}

bool KeySelection::Contains(int model, int frame) const
{
    const auto it = m_frames.find(model);
    return it != m_frames.end() && std::binary_search(it->second.begin(), it->second.end(), frame);
}

void KeySelection::Add(int model, int frame)
{
    auto [it, added] = m_frames.try_emplace(model);
    std::vector<int>& frames = it->second;
    if (added) {
        m_order.push_back(model);
    }
    // Box selections add each row's frames in order: appending is the common case.
    if (frames.empty() || frames.back() < frame) {
        frames.push_back(frame);
        ++m_size;
        return;
    }
    const auto at = std::lower_bound(frames.begin(), frames.end(), frame);
    if (at == frames.end() || *at != frame) {
        frames.insert(at, frame);
        ++m_size;
    }
}

void KeySelection::Remove(int model, int frame)
{
    const auto it = m_frames.find(model);
    if (it == m_frames.end()) {
        return;
    }
    std::vector<int>& frames = it->second;
    const auto at = std::lower_bound(frames.begin(), frames.end(), frame);
    if (at == frames.end() || *at != frame) {
        return;
    }
    frames.erase(at);
    --m_size;
    if (frames.empty()) {
        m_frames.erase(it);
        std::erase(m_order, model);
    }
}

void KeySelection::Toggle(int model, int frame)
{
    if (Contains(model, frame)) {
        Remove(model, frame);
    } else {
        Add(model, frame);
    }
}

void KeySelection::Clear()
{
    m_order.clear();
    m_frames.clear();
    m_size = 0;
}

const std::vector<int>& KeySelection::FramesOf(int model) const
{
    const auto it = m_frames.find(model);
    return it == m_frames.end() ? kNoFrames : it->second;
}

std::vector<KeyRef> KeySelection::Keys() const
{
    std::vector<KeyRef> keys;
    keys.reserve(m_size);
    for (const int model : m_order) {
        for (const int frame : FramesOf(model)) {
            keys.push_back({model, frame});
        }
    }
    return keys;
}

} // namespace vantomo
