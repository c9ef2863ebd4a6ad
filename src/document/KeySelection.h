// A set of keys of the current animation, each named by model index and
// frame, that remembers the order in which its models were first named: a
// paste onto other models maps the copied models onto them in that order.
//
// Frames of one model are kept ascending and without repeats, so a selection
// of every key of a large scene is looked up by binary search and walked in
// frame order without sorting again.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <map>
#include <vector>

namespace vantomo {

struct KeyRef {
    int model = 0;
    int frame = 0;
    bool operator==(const KeyRef&) const = default;
};

class KeySelection {
public:
    KeySelection() = default;
    KeySelection(std::initializer_list<KeyRef> keys);

    bool Empty() const { return m_size == 0; }
    // Number of keys.
    std::size_t Size() const { return m_size; }
    bool Contains(int model, int frame) const;

    // Adding a key already held, or removing one not held, changes nothing.
    void Add(int model, int frame);
    void Remove(int model, int frame);
    void Toggle(int model, int frame);
    void Clear();
    // Drop every key (model, frame) for which `remove` returns true.
    template <typename Predicate>
    void RemoveIf(Predicate remove);

    // The models, in the order they were first added.
    const std::vector<int>& Models() const { return m_order; }
    // The frames of `model`, ascending; empty when the model holds none.
    const std::vector<int>& FramesOf(int model) const;
    // Every key: models in their order, each model's frames ascending.
    std::vector<KeyRef> Keys() const;

    bool operator==(const KeySelection& other) const
    {
        return m_order == other.m_order && m_frames == other.m_frames;
    }

private:
    std::vector<int> m_order;
    std::map<int, std::vector<int>> m_frames; // never holds an empty vector
    std::size_t m_size = 0;
};

template <typename Predicate>
void KeySelection::RemoveIf(Predicate remove)
{
    std::vector<int> order;
    for (const int model : m_order) {
        std::vector<int>& frames = m_frames[model];
        const std::size_t before = frames.size();
        std::erase_if(frames, [&](int frame) { return remove(model, frame); });
        m_size -= before - frames.size();
        if (frames.empty()) {
            m_frames.erase(model);
        } else {
            order.push_back(model);
        }
    }
    m_order = std::move(order);
}

} // namespace vantomo
