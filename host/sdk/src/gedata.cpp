#include "c4d_basedocument.h"
#include "c4d_baselist.h"

std::unique_ptr<CustomDataType> Gradient::Clone() const {
    return std::make_unique<Gradient>(*this);
}

GradientKnot Gradient::GetKnot(Int32 index) const {
    return index >= 0 && index < GetKnotCount() ? knots_[index] : GradientKnot();
}

Int32 Gradient::InsertKnot(const Vector& col, Float brightness, Float pos, Float bias,
                           Int32 index) {
    GradientKnot knot;
    knot.col = col;
    knot.brightness = brightness;
    knot.pos = pos;
    knot.bias = bias;
    knot.index = index >= 0 ? index : GetKnotCount();
    knots_.push_back(knot);
    return GetKnotCount() - 1;
}

BaseLink::BaseLink(BaseList2D* target) : target_(target ? target->self_ : nullptr) {}

BaseList2D* BaseLink::GetLink(const BaseDocument* doc, Int32 instanceof) const {
    BaseList2D* target = target_ ? *target_ : nullptr;
    if (target == nullptr) return nullptr;
    if (doc != nullptr && target->GetDocument() != doc) return nullptr;
    if (instanceof != 0 && !target->IsInstanceOf(instanceof)) return nullptr;
    return target;
}

GeData::GeData(Int32, const CustomDataType& data) { SetCustomDataType(data); }

GeData::GeData(const GeData& o) { *this = o; }

GeData& GeData::operator=(const GeData& o) {
    if (this == &o) return *this;
    if (const auto* custom = std::get_if<Custom>(&o.value_)) {
        SetCustomDataType(*custom->data);
    } else {
        std::visit(
            [this](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (!std::is_same_v<T, Custom>) value_ = v;
            },
            o.value_);
    }
    return *this;
}

void GeData::SetCustomDataType(const CustomDataType& data) { value_ = Custom{data.Clone()}; }

Int32 GeData::GetType() const {
    switch (value_.index()) {
        case 1:
            return DA_LONG;
        case 2:
            return DA_REAL;
        case 3:
            return DA_VECTOR;
        case 4:
            return DA_STRING;
        case 5:
            return DA_FILENAME;
        case 6:
            return DA_ALIASLINK;
        case 7:
            return std::get<Custom>(value_).data->GetDataType();
        default:
            return DA_NIL;
    }
}

Int32 GeData::GetInt32() const {
    if (const auto* i = std::get_if<Int32>(&value_)) return *i;
    if (const auto* f = std::get_if<Float>(&value_)) return static_cast<Int32>(*f);
    return 0;
}

Float GeData::GetFloat() const {
    if (const auto* f = std::get_if<Float>(&value_)) return *f;
    if (const auto* i = std::get_if<Int32>(&value_)) return *i;
    return 0.0;
}

Vector GeData::GetVector() const {
    const auto* v = std::get_if<Vector>(&value_);
    return v ? *v : Vector();
}

String GeData::GetString() const {
    const auto* s = std::get_if<String>(&value_);
    return s ? *s : String();
}

Filename GeData::GetFilename() const {
    const auto* f = std::get_if<Filename>(&value_);
    return f ? *f : Filename();
}

BaseList2D* GeData::GetLink(const BaseDocument* doc, Int32 instanceof) const {
    const auto* link = std::get_if<BaseLink>(&value_);
    return link ? link->GetLink(doc, instanceof) : nullptr;
}

CustomDataType* GeData::GetCustomDataType(Int32 type) const {
    const auto* custom = std::get_if<Custom>(&value_);
    return custom && custom->data->GetDataType() == type ? custom->data.get() : nullptr;
}

const GeData* BaseContainer::GetDataPointer(Int32 id) const {
    const auto it = entries_.find(id);
    return it == entries_.end() ? nullptr : &it->second;
}

GeData BaseContainer::GetData(Int32 id) const {
    const GeData* d = GetDataPointer(id);
    return d ? *d : GeData();
}

Int32 BaseContainer::GetInt32(Int32 id, Int32 preset) const {
    const GeData* d = GetDataPointer(id);
    return d ? d->GetInt32() : preset;
}

Float BaseContainer::GetFloat(Int32 id, Float preset) const {
    const GeData* d = GetDataPointer(id);
    return d ? d->GetFloat() : preset;
}

Vector BaseContainer::GetVector(Int32 id, const Vector& preset) const {
    const GeData* d = GetDataPointer(id);
    return d ? d->GetVector() : preset;
}

String BaseContainer::GetString(Int32 id, const String& preset) const {
    const GeData* d = GetDataPointer(id);
    return d ? d->GetString() : preset;
}

void BaseContainer::SetData(Int32 id, const GeData& data) {
    if (data.IsNil()) {
        entries_.erase(id);
    } else {
        entries_[id] = data;
    }
}
