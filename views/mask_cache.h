// The fast drawing's cache of brick masks, kept by the pane between paints.
#pragma once

#include <array>
#include <map>
#include <unordered_map>

#include "foundation/geometry3d.h"
#include "views/brick_pane.h"
#include "views/direct_paint.h"

// A brick's region depends only on its class, pose, orientation, place and
// the origin; its mask is kept until one of them changes.
struct CBrickPane::MaskCache {
    struct Entry {
        CBox3D box;
        SHORT classId = 0, pose = 0, orientation = 0;
        POINT origin{};
        views::Mask mask;
        RECT bounds{};
        bool empty = true;
        unsigned seen = 0;
    };
    std::unordered_map<const CBrick*, Entry> entries;
    unsigned paint = 0;

    // Bricks of one class, pose, orientation and size have the same region,
    // moved by the projection of their boxes' corners: one mask made serves
    // them all, so that the first paint of a model makes few masks.
    struct Shape {
        POINT anchor{};
        views::Mask mask;
        RECT bounds{};
    };
    std::map<std::array<int, 6>, Shape> shapes;
};

