// Builds a host document from a document file: first every element, then the links
// between them (by name), then the selection.
#include "vantrel_host/document_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "file_suffix.h"
#include "json_values.h"
#include "named_parameters.h"
#include "vantrel_host/document_builder.h"

namespace vantrel_host {
namespace {

using namespace document_file;

constexpr int kMaxDepth = 256;  // object nesting, so a hostile file cannot exhaust the stack

// A type given by friendly name or by the host's id.
Int32 ToType(const json& j, const std::string& where,
             const std::vector<std::pair<std::string, Int32>>& names) {
    if (j.is_string()) {
        for (const auto& [name, id] : names)
            if (name == j.get<std::string>()) return id;
        Fail(where, "unknown type \"" + j.get<std::string>() + "\"");
    }
    return ToInt(j, where);
}

class Loader {
public:
    explicit Loader(const std::string& folder) { context_.folder = folder; }

    std::unique_ptr<BaseDocument> Load(const json& root, const std::string& default_name);
    const SinglePrecisionOverflow& Overflow() const { return context_.overflow; }

private:
    void LoadLayer(const json& j, const std::string& where);
    void LoadMaterial(const json& j, const std::string& where);
    void LoadShader(BaseList2D& owner, const json& j, const std::string& where);
    BaseObject* LoadObject(const json& j, const std::string& where, int depth);
    void LoadGeometry(PolygonObject& op, const json& j, const std::string& where);
    void LoadGuides(HairObject& op, const json& j, const std::string& where);
    void LoadTag(BaseObject& op, const json& j, const std::string& where);
    UVWTag* LoadUVW(BaseObject& op, const json& j, const std::string& where);
    void LoadTrack(BaseList2D& node, const json& j, const std::string& where);
    void ResolveLinks();
    void LoadSelection(const json& j, const std::string& where);

    // Sets the common parts every node kind has: name, bits and parameters.
    void LoadNode(BaseList2D& node, const json& j, const std::string& where,
                  const std::vector<const NamedParameters*>& tables);

    std::unique_ptr<BaseDocument> doc_;
    LoadContext context_;
};

std::unique_ptr<BaseDocument> Loader::Load(const json& root, const std::string& default_name) {
    CheckKeys(root, "",
              {"name", "path", "fps", "time", "min_time", "max_time", "layers", "materials",
               "objects", "selection"});
    doc_.reset(BaseDocument::Alloc());
    doc_->SetDocumentName(
        Filename(String(root.contains("name") ? ToText(root["name"], "name") : default_name)));
    doc_->SetDocumentPath(
        Filename(String(root.contains("path") ? ToText(root["path"], "path") : context_.folder)));
    if (root.contains("fps")) {
        const Int32 fps = ToInt(root["fps"], "fps");
        if (fps <= 0) Fail("fps", "must be positive");
        doc_->SetFps(fps);
    }
    if (root.contains("min_time"))
        doc_->SetMinTime(BaseTime(ToFloat(root["min_time"], "min_time")));
    if (root.contains("max_time"))
        doc_->SetMaxTime(BaseTime(ToFloat(root["max_time"], "max_time")));
    doc_->SetTime(root.contains("time") ? BaseTime(ToFloat(root["time"], "time"))
                                        : doc_->GetMinTime());

    const auto each = [&root](const char* key, const auto& load) {
        if (!root.contains(key)) return;
        const json& list = Array(root[key], key);
        for (size_t i = 0; i < list.size(); ++i) load(list[i], At(key, i));
    };
    each("layers", [this](const json& j, const std::string& w) { LoadLayer(j, w); });
    each("materials", [this](const json& j, const std::string& w) { LoadMaterial(j, w); });
    BaseObject* last = nullptr;
    each("objects", [&](const json& j, const std::string& w) {
        BaseObject* op = LoadObject(j, w, 0);
        doc_->InsertObject(op, nullptr, last);
        last = op;
    });
    ResolveLinks();
    if (root.contains("selection")) LoadSelection(root["selection"], "selection");
    return std::move(doc_);
}

void Loader::LoadNode(BaseList2D& node, const json& j, const std::string& where,
                      const std::vector<const NamedParameters*>& tables) {
    if (j.contains("name")) node.SetName(String(ToText(j["name"], At(where, "name"))));
    if (j.contains("bits")) node.SetBit(ToInt(j["bits"], At(where, "bits")));
    SetParameters(node, j, where, tables, context_);
}

void Loader::LoadLayer(const json& j, const std::string& where) {
    CheckKeys(j, where, WithNamedKeys({"name", "bits"}, {&kLayerParameters}));
    LoadNode(*AddLayer(*doc_, ""), j, where, {&kLayerParameters});
}

void Loader::LoadMaterial(const json& j, const std::string& where) {
    const Int32 type =
        j.is_object() && j.contains("type")
            ? ToType(j["type"], At(where, "type"), {{"standard", Mmaterial}, {"hair", Mhair}})
            : Mmaterial;
    const NamedParameters& named = ParametersOf(type);
    CheckKeys(j, where, WithNamedKeys({"type", "name", "bits", "channels", "shaders"}, {&named}));
    BaseMaterial* mat = AddMaterial(*doc_, type, "");
    if (j.contains("shaders")) {
        const std::string place = At(where, "shaders");
        const json& shaders = Array(j["shaders"], place);
        for (size_t i = 0; i < shaders.size(); ++i) LoadShader(*mat, shaders[i], At(place, i));
    }
    LoadNode(*mat, j, where, {&named});
    if (j.contains("channels")) {
        const std::string place = At(where, "channels");
        if (type != Mmaterial) Fail(place, "only a standard material has channels");
        static const std::vector<std::string> names = {
            "color", "luminance", "transparency", "reflection", "environment",
            "fog",   "bump",      "alpha",        "specular",   "specular_color"};
        const json& channels = Array(j["channels"], place);
        for (size_t i = 0; i < channels.size(); ++i) {
            const json& c = channels[i];
            Int32 channel = -1;
            if (c.is_string()) {
                const auto it = std::find(names.begin(), names.end(), c.get<std::string>());
                if (it == names.end()) Fail(At(place, i), "unknown channel");
                channel = static_cast<Int32>(it - names.begin());
            } else {
                channel = ToInt(c, At(place, i));
            }
            static_cast<Material*>(mat)->SetChannelState(channel, true);
        }
    }
}

void Loader::LoadShader(BaseList2D& owner, const json& j, const std::string& where) {
    if (!j.is_object() || !j.contains("type")) Fail(where, "a shader needs a type");
    const Int32 type = ToType(j["type"], At(where, "type"),
                              {{"color", Xcolor}, {"bitmap", Xbitmap}, {"gradient", Xgradient}});
    const NamedParameters& named = ParametersOf(type);
    CheckKeys(j, where, WithNamedKeys({"type", "name", "bits"}, {&named}));
    LoadNode(*AddShader(owner, type), j, where, {&named});
}

BaseObject* Loader::LoadObject(const json& j, const std::string& where, int depth) {
    if (depth > kMaxDepth)
        Fail(where, "objects nested deeper than " + std::to_string(kMaxDepth) + " levels");
    const Int32 type = j.is_object() && j.contains("type") ? ToType(j["type"], At(where, "type"),
                                                                    {{"null", Onull},
                                                                     {"polygon", Opolygon},
                                                                     {"light", Olight},
                                                                     {"camera", Ocamera},
                                                                     {"hair", Ohair}})
                                                           : Onull;
    const NamedParameters& named = ParametersOf(type);
    std::vector<std::string> keys = {"type",     "name",     "bits",  "guid",           "layer",
                                     "position", "rotation", "scale", "rotation_order", "tags",
                                     "tracks",   "children", "cache", "deform_cache"};
    if (type == Opolygon) keys.insert(keys.end(), {"points", "polygons"});
    if (type == Ohair) keys.push_back("guides");
    CheckKeys(j, where, WithNamedKeys(keys, {&kObjectParameters, &named}));

    std::unique_ptr<BaseObject> op(BaseObject::Alloc(type));
    LoadNode(*op, j, where, {&kObjectParameters, &named});
    if (j.contains("guid")) op->SetGUID(ToUInt64(j["guid"], At(where, "guid")));
    if (j.contains("position"))
        op->SetRelPos(ToPosition(j["position"], At(where, "position"), context_));
    if (j.contains("rotation")) op->SetRelRot(ToVector(j["rotation"], At(where, "rotation")));
    if (j.contains("scale")) op->SetRelScale(ToVector(j["scale"], At(where, "scale")));
    if (j.contains("rotation_order"))
        op->SetRotationOrder(ToRotationOrder(j["rotation_order"], At(where, "rotation_order")));
    if (j.contains("layer")) {
        BaseObject* target = op.get();
        context_.links.push_back({ValueKind::LayerLink, ToText(j["layer"], At(where, "layer")),
                                  target, At(where, "layer"), [target](BaseList2D* layer) {
                                      target->SetLayerObject(static_cast<LayerObject*>(layer));
                                  }});
    }
    if (type == Opolygon) LoadGeometry(*static_cast<PolygonObject*>(op.get()), j, where);
    if (type == Ohair && j.contains("guides"))
        LoadGuides(*static_cast<HairObject*>(op.get()), j["guides"], At(where, "guides"));

    auto each = [&j, &where](const char* key, const auto& load) {
        if (!j.contains(key)) return;
        const std::string place = At(where, key);
        const json& list = Array(j[key], place);
        for (size_t i = 0; i < list.size(); ++i) load(list[i], At(place, i));
    };
    each("tags", [&](const json& t, const std::string& w) { LoadTag(*op, t, w); });
    each("tracks", [&](const json& t, const std::string& w) { LoadTrack(*op, t, w); });
    each("children", [&](const json& c, const std::string& w) {
        LoadObject(c, w, depth + 1)->InsertUnderLast(op.get());
    });
    if (j.contains("cache")) op->SetCache(LoadObject(j["cache"], At(where, "cache"), depth + 1));
    if (j.contains("deform_cache"))
        op->SetDeformCache(LoadObject(j["deform_cache"], At(where, "deform_cache"), depth + 1));
    return op.release();
}

void Loader::LoadGeometry(PolygonObject& op, const json& j, const std::string& where) {
    std::vector<Vector> points;
    if (j.contains("points")) {
        const std::string place = At(where, "points");
        const json& list = Array(j["points"], place);
        for (size_t i = 0; i < list.size(); ++i)
            points.push_back(ToPosition(list[i], At(place, i), context_));
    }
    std::vector<CPolygon> polygons;
    if (j.contains("polygons")) {
        const std::string place = At(where, "polygons");
        const json& list = Array(j["polygons"], place);
        for (size_t i = 0; i < list.size(); ++i) {
            const std::string poly = At(place, i);
            if (!list[i].is_array() || (list[i].size() != 3 && list[i].size() != 4))
                Fail(poly, "expected a triangle [a, b, c] or a quad [a, b, c, d]");
            Int32 corner[4];
            for (size_t k = 0; k < list[i].size(); ++k) {
                corner[k] = ToInt(list[i][k], At(poly, k));
                if (corner[k] < 0 || corner[k] >= static_cast<Int32>(points.size()))
                    Fail(At(poly, k), "point index " + std::to_string(corner[k]) +
                                          " is out of range (the object has " +
                                          std::to_string(points.size()) + " points)");
            }
            polygons.push_back(list[i].size() == 3
                                   ? CPolygon(corner[0], corner[1], corner[2])
                                   : CPolygon(corner[0], corner[1], corner[2], corner[3]));
        }
    }
    op.ResizeObject(static_cast<Int32>(points.size()), static_cast<Int32>(polygons.size()));
    std::copy(points.begin(), points.end(), op.GetPointW());
    std::copy(polygons.begin(), polygons.end(), op.GetPolygonW());
}

void Loader::LoadGuides(HairObject& op, const json& j, const std::string& where) {
    CheckKeys(j, where, {"segments", "guides"});
    const Int32 segments = j.contains("segments") ? ToInt(j["segments"], At(where, "segments")) : 0;
    if (segments < 0) Fail(At(where, "segments"), "must not be negative");
    const std::string place = At(where, "guides");
    const json& list = j.contains("guides") ? Array(j["guides"], place) : json::array();
    const size_t per_guide = segments > 0 ? size_t(segments) + 1 : 0;
    // Every guide is checked before the guides are allocated, so that a count the file
    // does not carry the points for costs no memory.
    for (size_t g = 0; g < list.size(); ++g) {
        const std::string guide = At(place, g);
        CheckKeys(list[g], guide, {"root_uv", "points"});
        const json& points = list[g].contains("points") ? list[g]["points"] : json::array();
        Array(points, At(guide, "points"));
        if (points.size() != per_guide)
            Fail(At(guide, "points"), "expected " + std::to_string(per_guide) +
                                          " points (segments + 1, none for 0 segments)");
    }
    std::unique_ptr<HairGuides> guides(
        HairGuides::Alloc(static_cast<Int32>(list.size()), segments));
    for (size_t g = 0; g < list.size(); ++g) {
        const std::string guide = At(place, g);
        if (list[g].contains("root_uv")) {
            const json& uv = list[g]["root_uv"];
            if (!uv.is_array() || uv.size() != 2) Fail(At(guide, "root_uv"), "expected [u, v]");
            guides->SetRootUV(static_cast<Int32>(g),
                              Vector(ToFloat(uv[0], At(At(guide, "root_uv"), 0)),
                                     ToFloat(uv[1], At(At(guide, "root_uv"), 1)), 0));
        }
        for (size_t p = 0; p < per_guide; ++p)
            guides->GetPoints()[g * per_guide + p] =
                ToPosition(list[g]["points"][p], At(At(guide, "points"), p), context_);
    }
    op.SetGuides(guides.release());
}

void Loader::LoadTag(BaseObject& op, const json& j, const std::string& where) {
    if (!j.is_object() || !j.contains("type")) Fail(where, "a tag needs a type");
    const Int32 type = ToType(j["type"], At(where, "type"),
                              {{"texture", Ttexture},
                               {"uvw", Tuvw},
                               {"normal", Tnormal},
                               {"phong", Tphong},
                               {"selection", Tpolygonselection},
                               {"hair_material", Thairmaterial}});
    const NamedParameters& named = ParametersOf(type);
    std::vector<std::string> keys = {"type", "name", "bits"};
    if (type == Ttexture) keys.push_back("matrix");
    if (type == Tuvw) keys.push_back("uvw");
    if (type == Tpolygonselection) keys.push_back("polygons");
    CheckKeys(j, where, WithNamedKeys(keys, {&named}));

    BaseTag* tag = nullptr;
    if (type == Tuvw) {
        tag = LoadUVW(op, j, where);
    } else {
        tag = AddTag(op, type);
    }
    LoadNode(*tag, j, where, {&named});
    if (type == Ttexture && j.contains("matrix"))
        static_cast<TextureTag*>(tag)->SetMl(ToMatrix(j["matrix"], At(where, "matrix")));
    if (type == Tpolygonselection && j.contains("polygons")) {
        const std::string place = At(where, "polygons");
        const json& list = Array(j["polygons"], place);
        BaseSelect* select = static_cast<SelectionTag*>(tag)->GetBaseSelect();
        for (size_t i = 0; i < list.size(); ++i) {
            const Int32 index = ToInt(list[i], At(place, i));
            if (index < 0) Fail(At(place, i), "a polygon index is not negative");
            select->Select(index);
        }
    }
}

UVWTag* Loader::LoadUVW(BaseObject& op, const json& j, const std::string& where) {
    if (op.GetType() != Opolygon) Fail(where, "a UVW tag belongs on a polygon object");
    const Int32 polygon_count = static_cast<PolygonObject&>(op).GetPolygonCount();
    const std::string place = At(where, "uvw");
    const json& list = j.contains("uvw") ? Array(j["uvw"], place) : json::array();
    if (list.size() != size_t(polygon_count))
        Fail(place, "expected " + std::to_string(polygon_count) + " records (one per polygon)");
    std::vector<UVWStruct> records;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string record = At(place, i);
        if (!list[i].is_array() || (list[i].size() != 3 && list[i].size() != 4))
            Fail(record, "expected 3 or 4 corners [u, v] or [u, v, w]");
        Vector corner[4];
        for (size_t k = 0; k < list[i].size(); ++k) {
            const json& c = list[i][k];
            const std::string at = At(record, k);
            if (!c.is_array() || (c.size() != 2 && c.size() != 3))
                Fail(at, "expected [u, v] or [u, v, w]");
            corner[k] = Vector(ToFloat(c[0], At(at, 0)), ToFloat(c[1], At(at, 1)),
                               c.size() == 3 ? ToFloat(c[2], At(at, 2)) : 0.0);
        }
        if (list[i].size() == 3) corner[3] = corner[2];
        records.push_back({corner[0], corner[1], corner[2], corner[3]});
    }
    return AddUVWTag(static_cast<PolygonObject&>(op), records);
}

// "position.x", [903, 1000] or 90001.
DescID ToTrackParameter(const json& j, const std::string& where) {
    if (j.is_string()) {
        static const std::vector<std::pair<std::string, Int32>> channels = {
            {"position", ID_BASEOBJECT_REL_POSITION},
            {"rotation", ID_BASEOBJECT_REL_ROTATION},
            {"scale", ID_BASEOBJECT_REL_SCALE}};
        static const std::vector<std::pair<std::string, Int32>> components = {
            {"x", VECTOR_X}, {"y", VECTOR_Y}, {"z", VECTOR_Z},
            {"h", VECTOR_X}, {"p", VECTOR_Y}, {"b", VECTOR_Z}};
        const std::string text = j.get<std::string>();
        for (const auto& [channel, channel_id] : channels)
            for (const auto& [component, component_id] : components)
                if (text == channel + "." + component) return DescID(channel_id, component_id);
        Fail(where, "unknown parameter \"" + text + "\" (position.x, rotation.h, scale.z, ...)");
    }
    if (j.is_array()) {
        if (j.empty() || j.size() > 3) Fail(where, "expected one to three levels");
        DescID id;
        for (size_t i = 0; i < j.size(); ++i) id.PushId(DescLevel(ToInt(j[i], At(where, i))));
        return id;
    }
    return DescID(ToInt(j, where));
}

void Loader::LoadTrack(BaseList2D& node, const json& j, const std::string& where) {
    CheckKeys(j, where, WithNamedKeys({"parameter", "name", "bits", "keys"}, {&kTrackParameters}));
    if (!j.contains("parameter")) Fail(where, "a track needs a parameter");
    const DescID id = ToTrackParameter(j["parameter"], At(where, "parameter"));
    std::vector<std::pair<Float, Float>> keys;
    if (j.contains("keys")) {
        const std::string place = At(where, "keys");
        const json& list = Array(j["keys"], place);
        for (size_t i = 0; i < list.size(); ++i) {
            if (!list[i].is_array() || list[i].size() != 2)
                Fail(At(place, i), "expected [time, value]");
            keys.emplace_back(ToFloat(list[i][0], At(At(place, i), 0)),
                              ToFloat(list[i][1], At(At(place, i), 1)));
        }
    }
    if (node.FindCTrack(id) != nullptr) Fail(where, "the parameter already has a track");
    CTrack* track = AddTrack(node, id, keys);
    LoadNode(*track, j, where, {&kTrackParameters});
}

void Loader::ResolveLinks() {
    for (const PendingLink& link : context_.links) {
        BaseList2D* target = nullptr;
        const char* what = "";
        switch (link.kind) {
            case ValueKind::MaterialLink:
                what = "material";
                target = doc_->SearchMaterial(String(link.name));
                break;
            case ValueKind::ShaderLink:
                what = "shader";
                for (BaseShader* s = link.scope->GetFirstShader(); s && !target; s = s->GetNext())
                    if (s->GetName().GetUtf8() == link.name) target = s;
                break;
            case ValueKind::LayerLink:
                what = "layer";
                for (auto* l = static_cast<LayerObject*>(doc_->GetLayerObjectRoot()->GetFirst());
                     l && !target; l = l->GetNext())
                    if (l->GetName().GetUtf8() == link.name) target = l;
                break;
            default:
                what = "object";
                target = doc_->SearchObject(String(link.name));
                break;
        }
        if (target == nullptr)
            Fail(link.where, std::string("no ") + what + " named \"" + link.name + "\"");
        link.set(target);
    }
}

void Loader::LoadSelection(const json& j, const std::string& where) {
    const json& list = Array(j, where);
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string place = At(where, i);
        const json& entry = list[i];
        const std::string object_name =
            entry.is_object() ? (CheckKeys(entry, place, {"object", "tag"}),
                                 ToText(entry.value("object", json()), At(place, "object")))
                              : ToText(entry, place);
        BaseObject* op = doc_->SearchObject(String(object_name));
        if (op == nullptr) Fail(place, "no object named \"" + object_name + "\"");
        if (!entry.is_object() || !entry.contains("tag")) {
            op->SetBit(BIT_ACTIVE);
            continue;
        }
        const std::string tag_name = ToText(entry["tag"], At(place, "tag"));
        BaseTag* tag = op->GetFirstTag();
        while (tag != nullptr && tag->GetName().GetUtf8() != tag_name) tag = tag->GetNext();
        if (tag == nullptr)
            Fail(At(place, "tag"), "no tag named \"" + tag_name + "\" on \"" + object_name + "\"");
        tag->SetBit(BIT_ACTIVE);
    }
}

// nlohmann's messages start with "[json.exception.parse_error.101] "; keep what follows.
std::string ParseMessage(const std::exception& e) {
    std::string message = e.what();
    if (message.rfind("[json.exception.", 0) == 0) {
        const size_t end = message.find("] ");
        if (end != std::string::npos) message.erase(0, end + 2);
    }
    return message;
}

// A ".json" file is always read as a document, so that its faults are named; any
// other file only when it begins like one (a JSON object), since it is more likely a
// model of a format no reader here knows (.m3d, .wrl, .max, ...).
bool LooksLikeDocument(const std::string& path, const std::string& text) {
    if (LowerCaseSuffix(path) == ".json") return true;
    const size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;  // a UTF-8 byte order mark
    const size_t first = text.find_first_not_of(" \t\r\n", start);
    return first != std::string::npos && text[first] == '{';
}

void AddOverflowWarning(const SinglePrecisionOverflow& overflow, const std::string& source_name,
                        std::vector<std::string>& warnings) {
    if (overflow.count == 0) return;
    const std::string first = Shortened(overflow.first);
    warnings.push_back(
        source_name + ": " +
        (overflow.count == 1
             ? "a position exceeds single precision and exports as infinite (" + first + ")"
             : std::to_string(overflow.count) +
                   " positions exceed single precision and export as infinite (first: " + first +
                   ")"));
}

}  // namespace

std::unique_ptr<BaseDocument> LoadDocumentFromText(const std::string& text,
                                                   const std::string& source_name,
                                                   const std::string& folder, std::string& error,
                                                   std::vector<std::string>* warnings) {
    error.clear();
    try {
        const json root = json::parse(text);
        const std::string name = std::filesystem::path(source_name).filename().string();
        Loader loader(folder);
        auto doc = loader.Load(root, name);
        if (warnings != nullptr) AddOverflowWarning(loader.Overflow(), source_name, *warnings);
        return doc;
    } catch (const DocumentError& e) {
        error = source_name + ": " + e.what();
    } catch (const json::exception& e) {
        error = source_name + ": " + ParseMessage(e);
    } catch (const std::exception& e) {
        error = source_name + ": " + e.what();
    }
    return nullptr;
}

std::unique_ptr<BaseDocument> LoadDocument(const std::string& path, std::string& error,
                                           std::vector<std::string>* warnings) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        error = path + ": is a folder, not a document file";
        return nullptr;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    if (!in.is_open() || in.bad()) {
        error = path + ": cannot read the file";
        return nullptr;
    }
    if (!LooksLikeDocument(path, text.str())) {
        error = path + ": not a document or a model file this runner reads";
        return nullptr;
    }
    const fs::path absolute = fs::absolute(fs::path(path), ec);
    const std::string folder =
        ec ? std::string() : absolute.parent_path().lexically_normal().string();
    return LoadDocumentFromText(text.str(), path, folder, error, warnings);
}

}  // namespace vantrel_host
