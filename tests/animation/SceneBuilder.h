// Small helpers that build scenes in memory for animation tests.
#pragma once

#include "scene/AppValues.h"
#include "scene/CTessaline.h"

namespace vantomo {

// A model with one track of `frames` rest records per animation; record 0 a key.
inline CModel MakeAnimatedModel(int id, int parent, int frames, int animations = 1)
{
    CModel model;
    model.m_id = id;
    model.m_name = "model" + std::to_string(id);
    model.m_parent = parent;
    for (int a = 0; a < animations; ++a) {
        model.m_tracks.emplace_back(static_cast<std::size_t>(frames));
        model.m_tracks.back()[0].m_key = 1;
    }
    return model;
}

inline CAnimation& Key(CModel& model, int frame, int animation = 0)
{
    CAnimation& record = model.m_tracks[static_cast<std::size_t>(animation)][static_cast<std::size_t>(frame)];
    record.m_key = 1;
    return record;
}

} // namespace vantomo
