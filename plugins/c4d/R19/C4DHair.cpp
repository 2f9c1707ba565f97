// Hair: every guide of a hair object becomes one curve of a bezier-curve geometry whose
// radius runs linearly from root to tip; the hair material tags decide radii and material.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "C4DLoader.h"
#include "C4DText.h"

namespace {

// The host's hair material tag and hair material parameters.
enum : Int32 {
    HAIRMATERIALTAG_MATERIAL = 1000,
    HAIRMATERIAL_COLOR_SHADER = 3000,
    HAIRMATERIAL_ROOT_RADIUS = 3009,
    HAIRMATERIAL_TIP_RADIUS = 3010,
    HAIRMATERIAL_GRADIENT = 3139
};

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

bool readParameter(const BaseList2D* node, Int32 id, GeData& data) {
    return node->GetParameter(DescID(id), data, DESCFLAGS_GET_0);
}

// An absent radius reads as 0.0, as the host gives it.
float radiusParameter(const BaseList2D* material, Int32 id) {
    GeData data;
    readParameter(material, id, data);
    return static_cast<float>(data.GetFloat());
}

// Applies what one hair material tag supplies; what it cannot supply stays as it was.
void applyHairMaterialTag(C4DLoader& loader, const BaseTag* tag, HairLook& look) {
    GeData name;
    std::string text;
    if (readParameter(tag, ID_BASELIST_NAME, name) && getUtf8(name.GetString(), text))
        copyUtf8(look.material.name, sizeof look.material.name, text);

    GeData link;
    if (!readParameter(tag, HAIRMATERIALTAG_MATERIAL, link)) return;
    const BaseList2D* material = link.GetLink(loader.document, Mhair);
    if (!material) return;
    look.rootRadius = radiusParameter(material, HAIRMATERIAL_ROOT_RADIUS);
    look.tipRadius = radiusParameter(material, HAIRMATERIAL_TIP_RADIUS);

    GeData shader;
    if (readParameter(material, HAIRMATERIAL_COLOR_SHADER, shader)) {
        // The link may name any node; only a shader is captured.
        if (auto* colorShader = dynamic_cast<BaseShader*>(shader.GetLink(loader.document)))
            loader.getMaterial(colorShader, look.material);
    }
    GeData gradient;
    if (readParameter(material, HAIRMATERIAL_GRADIENT, gradient)) {
        const auto* data =
            static_cast<const Gradient*>(gradient.GetCustomDataType(CUSTOMDATATYPE_GRADIENT));
        // A gradient without knots has no first colour to give.
        if (data && data->GetKnotCount() > 0) look.material.color = data->GetKnot(0).col;
    }
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

void setArray(tavScene_api* api, const char* name, tavType type, const void* data, size_t count) {
    const tavArray array{data, static_cast<uint32_t>(count)};
    api->set_parameter(name, TAV_ARRAY | type, &array);
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
        if (*tag && (*tag)->GetType() == Thairmaterial) applyHairMaterialTag(*this, *tag, look);
    }
    const Curves curves = buildCurves(*guides, ~hair->GetMl(), look.rootRadius, look.tipRadius);

    std::string name;
    getUtf8(hair->GetName(), name);
    tavScene_api* api = sceneWrapper->get_scene_api();
    api->object_begin(name.c_str(), true);
    api->geometry_use("tav_bezier_curves");
    // The renderer's fixed defaults; "pr" gives every point its own radius.
    const float radius = 0.5f;
    const int32_t order = 2;
    api->set_parameter("radius", TAV_FLOAT, &radius);
    api->set_parameter("order", TAV_INT, &order);
    setArray(api, "p", TAV_COLOR, curves.points.data(), curves.points.size() / 3);
    setArray(api, "pr", TAV_FLOAT, curves.radii.data(), curves.radii.size());
    setArray(api, "curve_uv", TAV_FLOAT, curves.rootUVs.data(), curves.rootUVs.size());
    setArray(api, "nvertices", TAV_INT, curves.vertexCounts.data(), curves.vertexCounts.size());
    api->geometry_end();
    writeMaterial(look.material);
    api->object_end();
}
