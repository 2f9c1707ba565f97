// Hair: every guide of a hair object becomes one curve of a bezier-curve geometry whose
// radius runs linearly from root to tip; the hair material tags decide radii and material.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "C4DLoader.h"
#include "C4DParameters.h"
#include "C4DText.h"
#include "tavsceneapi_values.h"

namespace {

// Keeps the hair object locked while its guides are read, and unlocks it on every way out.
class HairLock {
public:
    HairLock(HairObject* hair, BaseDocument* document) : hair_(hair) {
        hair_->Lock(document, nullptr, false, 0);
    }
    ~HairLock() { hair_->Unlock(); }
    HairLock(const HairLock&) = delete;
    HairLock& operator=(const HairLock&) = delete;

private:
    HairObject* hair_;
};

// What the hair material tags decide.
struct HairLook {
    TavMat material;
    float rootRadius = 0.5f;
    float tipRadius = 0.1f;
};

struct Curves {
    std::vector<float> points;          // x, y, z of every point, guide after guide
    std::vector<float> radii;           // one per point
    std::vector<float> rootUVs;         // u, v of every curve
    std::vector<int32_t> vertexCounts;  // points of every curve
};

// Applies what one hair material tag supplies; what it cannot supply stays as it was.
void applyHairMaterialTag(C4DLoader& loader, const BaseDocument* doc, const BaseTag* tag,
                          HairLook& look) {
    String name;
    std::string text;
    if (readParameter(tag, ID_BASELIST_NAME, name) && getUtf8(name, text))
        copyUtf8(look.material.name, sizeof look.material.name, text);

    const BaseList2D* material = readLink(tag, HAIRMATERIALTAG_MATERIAL, doc, Mhair);
    if (!material) return;
    // An absent radius reads as 0.0, as the host gives it.
    look.rootRadius = static_cast<float>(readParameter<Float>(material, HAIRMATERIAL_ROOT_RADIUS));
    look.tipRadius = static_cast<float>(readParameter<Float>(material, HAIRMATERIAL_TIP_RADIUS));

    // The link may name any node; only a shader is captured.
    if (auto* colorShader =
            dynamic_cast<BaseShader*>(readLink(material, HAIRMATERIAL_COLOR_SHADER, doc)))
        loader.getMaterial(colorShader, look.material);
    readFirstKnotColor(material, HAIRMATERIAL_GRADIENT, look.material.color);
}

Curves buildCurves(const HairGuides& guides, const Matrix64& toLocal, float rootRadius,
                   float tipRadius) {
    const Int32 segments = guides.GetSegmentCount();
    const size_t perGuide = segments > 0 ? static_cast<size_t>(segments) + 1 : 0;
    size_t count = static_cast<size_t>(std::max<Int32>(guides.GetCount(), 0));
    // Damaged guide data may hold fewer points than its counts promise: only complete
    // guides are read.
    if (perGuide > 0) {
        const size_t points = static_cast<size_t>(std::max<Int32>(guides.GetPointCount(), 0));
        count = std::min(count, points / perGuide);
    }
    const float step = static_cast<float>(static_cast<double>(tipRadius - rootRadius) /
                                          (static_cast<double>(perGuide) - 1.0));

    Curves curves;
    curves.points.reserve(count * perGuide * 3);
    curves.radii.reserve(count * perGuide);
    curves.rootUVs.reserve(count * 2);
    curves.vertexCounts.reserve(count);
    const Vector* points = guides.GetPoints();
    for (size_t g = 0; g < count; ++g) {
        float radius = rootRadius;
        for (size_t p = 0; p < perGuide; ++p) {
            const Vector64 point = toLocal * points[g * perGuide + p];
            curves.points.insert(curves.points.end(),
                                 {static_cast<float>(point.x), static_cast<float>(point.y),
                                  static_cast<float>(point.z)});
            curves.radii.push_back(radius);
            radius += step;
        }
        curves.vertexCounts.push_back(static_cast<int32_t>(perGuide));
        const Vector64 uv = guides.GetRootUV(static_cast<Int32>(g));
        curves.rootUVs.insert(curves.rootUVs.end(),
                              {static_cast<float>(uv.x), static_cast<float>(uv.y)});
    }
    return curves;
}

}  // namespace

void C4DLoader::writeHairObject(HairObject* hair, std::vector<BaseTag*> tags, float) {
    const HairLock lock(hair, document);
    const HairGuides* guides = hair->GenerateHair(0, -1, -1, nullptr, nullptr);
    if (!guides) return;

    HairLook look;
    look.material.color = getDefaultColor(hair);
    // Backwards, so that the tag nearest the front of the list is applied last and wins.
    for (auto tag = tags.rbegin(); tag != tags.rend(); ++tag) {
        if (*tag && (*tag)->GetType() == Thairmaterial)
            applyHairMaterialTag(*this, document, *tag, look);
    }
    const Curves curves = buildCurves(*guides, ~hair->GetMl(), look.rootRadius, look.tipRadius);

    std::string name;
    getUtf8(hair->GetName(), name);
    tavScene_api& api = *sceneWrapper->get_scene_api();
    api.object_begin(name.c_str(), true);
    api.geometry_use("tav_bezier_curves");
    // The renderer's fixed defaults; "pr" gives every point its own radius.
    tav::setParameter(api, "radius", 0.5f);
    tav::setParameter(api, "order", 2);
    tav::setColorArray(api, "p", curves.points.data(), curves.points.size() / 3);
    tav::setArray(api, "pr", curves.radii);
    tav::setArray(api, "curve_uv", curves.rootUVs);
    tav::setArray(api, "nvertices", curves.vertexCounts);
    api.geometry_end();
    ++counts.objects;
    writeMaterial(look.material);
    api.object_end();
}
