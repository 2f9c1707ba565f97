// Short helpers that build host documents in code, for tests and for the document
// loader. Each appends its element after the last one of its kind, so a document
// built top to bottom keeps the order it was written in.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "c4d.h"

namespace vantrel_host {

// A top-level object when parent is null.
BaseObject* AddObject(BaseDocument& doc, Int32 type, const std::string& name,
                      BaseObject* parent = nullptr);
PolygonObject* AddPolygonObject(BaseDocument& doc, const std::string& name,
                                const std::vector<Vector>& points,
                                const std::vector<CPolygon>& polygons,
                                BaseObject* parent = nullptr);

// Appends a tag the caller allocated and names it.
template <typename T>
T* AddTag(BaseObject& op, T* tag, const std::string& name = std::string()) {
    tag->SetName(String(name));
    op.InsertTagLast(tag);
    return tag;
}
BaseTag* AddTag(BaseObject& op, Int32 type, const std::string& name = std::string());
TextureTag* AddTextureTag(BaseObject& op, BaseMaterial* material,
                          const std::string& restriction = std::string());
SelectionTag* AddPolygonSelection(BaseObject& op, const std::string& name,
                                  const std::vector<Int32>& polygons);
// One record per polygon of op.
UVWTag* AddUVWTag(PolygonObject& op, const std::vector<UVWStruct>& uvws);

BaseMaterial* AddMaterial(BaseDocument& doc, Int32 type, const std::string& name);
Material* AddStandardMaterial(BaseDocument& doc, const std::string& name);
// Appends a shader to the owner's shader list (a material's).
BaseShader* AddShader(BaseList2D& owner, Int32 type, const std::string& name = std::string());
LayerObject* AddLayer(BaseDocument& doc, const std::string& name);

// A track on the node's parameter id with keys (seconds, value).
CTrack* AddTrack(BaseList2D& node, const DescID& id,
                 const std::vector<std::pair<Float, Float>>& keys);

// Sets a one-level parameter (a nil value removes it); returns the node.
template <typename T>
T* SetParam(T* node, Int32 id, const GeData& value) {
    node->SetParameter(DescID(id), value, DESCFLAGS_SET_0);
    return node;
}
GeData Link(BaseList2D* target);
GeData GradientData(const std::vector<Vector>& knot_colors);

}  // namespace vantrel_host
