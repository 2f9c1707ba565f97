#include "vantrel_host/document_builder.h"

namespace vantrel_host {
namespace {

// The last node of the list that first begins, or null for an empty list.
template <typename T>
T* LastOf(GeListNode* first) {
    return first != nullptr ? static_cast<T*>(first->GetListHead()->GetLast()) : nullptr;
}

}  // namespace

BaseObject* AddObject(BaseDocument& doc, Int32 type, const std::string& name, BaseObject* parent) {
    BaseObject* op = BaseObject::Alloc(type);
    op->SetName(String(name));
    if (parent != nullptr) {
        op->InsertUnderLast(parent);
    } else {
        doc.InsertObject(op, nullptr, LastOf<BaseObject>(doc.GetFirstObject()));
    }
    return op;
}

PolygonObject* AddPolygonObject(BaseDocument& doc, const std::string& name,
                                const std::vector<Vector>& points,
                                const std::vector<CPolygon>& polygons, BaseObject* parent) {
    auto* op = static_cast<PolygonObject*>(AddObject(doc, Opolygon, name, parent));
    op->ResizeObject(static_cast<Int32>(points.size()), static_cast<Int32>(polygons.size()));
    std::copy(points.begin(), points.end(), op->GetPointW());
    std::copy(polygons.begin(), polygons.end(), op->GetPolygonW());
    return op;
}

BaseTag* AddTag(BaseObject& op, Int32 type, const std::string& name) {
    return AddTag(op, BaseTag::Alloc(type), name);
}

TextureTag* AddTextureTag(BaseObject& op, BaseMaterial* material, const std::string& restriction) {
    TextureTag* tag = AddTag(op, TextureTag::Alloc(), "Texture");
    tag->SetMaterial(material);
    SetParam(tag, TEXTURETAG_RESTRICTION, GeData(String(restriction)));
    return tag;
}

SelectionTag* AddPolygonSelection(BaseObject& op, const std::string& name,
                                  const std::vector<Int32>& polygons) {
    SelectionTag* tag = AddTag(op, SelectionTag::Alloc(Tpolygonselection), name);
    for (Int32 p : polygons) tag->GetBaseSelect()->Select(p);
    return tag;
}

UVWTag* AddUVWTag(PolygonObject& op, const std::vector<UVWStruct>& uvws) {
    UVWTag* tag = AddTag(op, UVWTag::Alloc(static_cast<Int32>(uvws.size())), "UVW");
    for (size_t i = 0; i < uvws.size(); ++i)
        UVWTag::Set(tag->GetDataAddressW(), static_cast<Int32>(i), uvws[i]);
    return tag;
}

BaseMaterial* AddMaterial(BaseDocument& doc, Int32 type, const std::string& name) {
    BaseMaterial* mat = BaseMaterial::Alloc(type);
    mat->SetName(String(name));
    doc.InsertMaterial(mat, LastOf<BaseMaterial>(doc.GetFirstMaterial()));
    return mat;
}

Material* AddStandardMaterial(BaseDocument& doc, const std::string& name) {
    return static_cast<Material*>(AddMaterial(doc, Mmaterial, name));
}

BaseShader* AddShader(BaseList2D& owner, Int32 type, const std::string& name) {
    BaseShader* shader = BaseShader::Alloc(type);
    shader->SetName(String(name));
    owner.InsertShader(shader, LastOf<BaseShader>(owner.GetFirstShader()));
    return shader;
}

LayerObject* AddLayer(BaseDocument& doc, const std::string& name) {
    LayerObject* layer = LayerObject::Alloc();
    layer->SetName(String(name));
    doc.GetLayerObjectRoot()->InsertLast(layer);
    return layer;
}

CTrack* AddTrack(BaseList2D& node, const DescID& id,
                 const std::vector<std::pair<Float, Float>>& keys) {
    CTrack* track = CTrack::Alloc(&node, id);
    CCurve* curve = track->GetCurve();
    for (const auto& [time, value] : keys) curve->AddKey(BaseTime(time))->SetValue(curve, value);
    node.InsertTrackSorted(track);
    return track;
}

GeData Link(BaseList2D* target) {
    GeData link;
    link.SetBaseList2D(target);
    return link;
}

GeData GradientData(const std::vector<Vector>& knot_colors) {
    Gradient gradient;
    const Int32 n = static_cast<Int32>(knot_colors.size());
    for (Int32 i = 0; i < n; ++i)
        gradient.InsertKnot(knot_colors[i], 1.0, n > 1 ? Float(i) / (n - 1) : 0.0);
    return GeData(CUSTOMDATATYPE_GRADIENT, gradient);
}

}  // namespace vantrel_host
