#include "model_import_polygons.h"

#include <cmath>

namespace vantrel_host::model_import {
namespace {

struct Point2 {
    Float u, v;
};

// Twice the signed area of the triangle a, b, c: positive when it turns counter-clockwise.
Float Turn(const Point2& a, const Point2& b, const Point2& c) {
    return (b.u - a.u) * (c.v - a.v) - (b.v - a.v) * (c.u - a.u);
}

// The corners projected onto the coordinate plane the polygon faces most.
std::vector<Point2> Project(const std::vector<Vector>& corners) {
    Vector normal;  // Newell's normal, sound for concave polygons
    for (size_t i = 0; i < corners.size(); ++i) {
        const Vector& a = corners[i];
        const Vector& b = corners[(i + 1) % corners.size()];
        normal +=
            Vector((a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y));
    }
    const Float x = std::abs(normal.x), y = std::abs(normal.y), z = std::abs(normal.z);
    std::vector<Point2> points;
    for (const Vector& c : corners) {
        if (x >= y && x >= z) {
            points.push_back({c.y, c.z});
        } else if (y >= z) {
            points.push_back({c.z, c.x});
        } else {
            points.push_back({c.x, c.y});
        }
    }
    return points;
}

}  // namespace

std::vector<std::array<int, 3>> SplitPolygon(const std::vector<Vector>& corners) {
    std::vector<std::array<int, 3>> triangles;
    std::vector<int> left;
    for (size_t i = 0; i < corners.size(); ++i) left.push_back(static_cast<int>(i));
    if (corners.size() <= kMaxEarClippedCorners) {
        const std::vector<Point2> p = Project(corners);
        Float area = 0;
        for (size_t i = 0; i < p.size(); ++i) area += Turn(p[0], p[i], p[(i + 1) % p.size()]);
        const Float sense = area < 0 ? -1.0 : 1.0;
        // An ear: a corner that turns the polygon's way with no other corner inside it.
        const auto is_ear = [&](size_t i) {
            const int a = left[(i + left.size() - 1) % left.size()], b = left[i],
                      c = left[(i + 1) % left.size()];
            if (sense * Turn(p[a], p[b], p[c]) <= 0) return false;
            for (int k : left) {
                if (k == a || k == b || k == c) continue;
                if (sense * Turn(p[a], p[b], p[k]) >= 0 && sense * Turn(p[b], p[c], p[k]) >= 0 &&
                    sense * Turn(p[c], p[a], p[k]) >= 0)
                    return false;
            }
            return true;
        };
        size_t i = 0, tried = 0;
        while (left.size() > 3 && tried < left.size()) {
            if (!is_ear(i)) {
                i = (i + 1) % left.size();
                ++tried;
                continue;
            }
            triangles.push_back(
                {left[(i + left.size() - 1) % left.size()], left[i], left[(i + 1) % left.size()]});
            left.erase(left.begin() + static_cast<std::ptrdiff_t>(i));
            i = i % left.size();
            tried = 0;
        }
    }
    for (size_t i = 1; i + 1 < left.size(); ++i)
        triangles.push_back({left[0], left[i], left[i + 1]});
    return triangles;
}

}  // namespace vantrel_host::model_import
