// Parameter values and their addresses: DescID, GeData, BaseContainer, BaseTime and
// the custom data types (Gradient).
#pragma once

#include <map>
#include <memory>
#include <variant>
#include <vector>

#include "c4d_math.h"
#include "c4d_string.h"

class BaseList2D;
class BaseDocument;

struct DescLevel {
    Int32 id = 0;
    Int32 dtype = 0;
    Int32 creator = 0;

    DescLevel() = default;
    DescLevel(Int32 id_) : id(id_) {}
    DescLevel(Int32 id_, Int32 dtype_, Int32 creator_)
        : id(id_), dtype(dtype_), creator(creator_) {}
};

// The address of a parameter: one level per step into it (903 is the position
// vector, (903, 1000) its x component). Levels compare by id only.
class DescID {
public:
    DescID() = default;
    DescID(const DescLevel& l1) : levels_{l1.id} {}
    DescID(const DescLevel& l1, const DescLevel& l2) : levels_{l1.id, l2.id} {}
    DescID(const DescLevel& l1, const DescLevel& l2, const DescLevel& l3)
        : levels_{l1.id, l2.id, l3.id} {}

    Int32 GetDepth() const { return static_cast<Int32>(levels_.size()); }
    // Level 0 is the first; reading past the depth gives level id 0.
    DescLevel operator[](Int32 pos) const {
        return pos >= 0 && pos < GetDepth() ? DescLevel(levels_[pos]) : DescLevel();
    }
    void PushId(const DescLevel& level) { levels_.push_back(level.id); }

    bool operator==(const DescID& o) const { return levels_ == o.levels_; }
    bool operator!=(const DescID& o) const { return levels_ != o.levels_; }
    bool operator<(const DescID& o) const { return levels_ < o.levels_; }

private:
    std::vector<Int32> levels_;
};

// A time as numerator over denominator, in seconds.
class BaseTime {
public:
    BaseTime() = default;
    explicit BaseTime(Float seconds) : numerator_(seconds), denominator_(1.0) {}
    BaseTime(Float numerator, Float denominator)
        : numerator_(numerator), denominator_(denominator) {}

    Float GetNumerator() const { return numerator_; }
    Float GetDenominator() const { return denominator_; }
    // Seconds; 0.0 when the denominator is 0.0.
    Float Get() const { return denominator_ == 0.0 ? 0.0 : numerator_ / denominator_; }
    Int32 GetFrame(Float fps) const { return static_cast<Int32>(std::floor(Get() * fps + 1e-9)); }

    bool operator==(const BaseTime& o) const { return Get() == o.Get(); }
    bool operator!=(const BaseTime& o) const { return Get() != o.Get(); }
    bool operator<(const BaseTime& o) const { return Get() < o.Get(); }
    bool operator<=(const BaseTime& o) const { return Get() <= o.Get(); }
    bool operator>(const BaseTime& o) const { return Get() > o.Get(); }
    bool operator>=(const BaseTime& o) const { return Get() >= o.Get(); }

private:
    Float numerator_ = 0.0;
    Float denominator_ = 1.0;
};

// Base of the values that GeData carries under their own type id.
class CustomDataType {
public:
    virtual ~CustomDataType() = default;
    virtual Int32 GetDataType() const = 0;
    virtual std::unique_ptr<CustomDataType> Clone() const = 0;
};

struct GradientKnot {
    Vector col{0, 0, 0};
    Float brightness = 1.0;
    Float pos = 0.0;
    Float bias = 0.5;
    Int32 index = 0;
};

// Colour gradient (custom data type 1000481): knots in the order they were inserted.
class Gradient : public CustomDataType {
public:
    Int32 GetDataType() const override { return CUSTOMDATATYPE_GRADIENT; }
    std::unique_ptr<CustomDataType> Clone() const override;

    Int32 GetKnotCount() const { return static_cast<Int32>(knots_.size()); }
    // An index outside the knots gives a black knot.
    GradientKnot GetKnot(Int32 index) const;
    Int32 InsertKnot(const Vector& col, Float brightness, Float pos, Float bias = 0.5,
                     Int32 index = -1);

private:
    std::vector<GradientKnot> knots_;
};

// A weak link to a node: it reads as null once the node is gone.
class BaseLink {
public:
    BaseLink() = default;
    explicit BaseLink(BaseList2D* target);
    // The target, if it still exists and lies in doc (any document when doc is null)
    // and, when instanceof is not 0, has that type.
    BaseList2D* GetLink(const BaseDocument* doc, Int32 instanceof = 0) const;

private:
    std::shared_ptr<BaseList2D*> target_;
};

enum : Int32 {
    DA_NIL = 0,
    DA_LONG = 15,
    DA_REAL = 19,
    DA_VECTOR = 23,
    DA_STRING = 130,
    DA_FILENAME = 131,
    DA_ALIASLINK = 133
    // custom data reports its own type id (CUSTOMDATATYPE_GRADIENT, ...)
};

// One parameter value. Reading it as another kind than it holds gives the kind's
// zero, except that integers and floats read as each other (floats truncate).
class GeData {
public:
    GeData() = default;
    GeData(Int32 v) : value_(v) {}
    GeData(Float v) : value_(v) {}
    GeData(const Vector& v) : value_(v) {}
    GeData(const String& v) : value_(v) {}
    GeData(const Char* v) : value_(String(v)) {}
    GeData(const Filename& v) : value_(v) {}
    GeData(Int32 type, const CustomDataType& data);
    GeData(const GeData& o);
    GeData(GeData&&) = default;
    GeData& operator=(const GeData& o);
    GeData& operator=(GeData&&) = default;
    ~GeData() = default;

    Int32 GetType() const;
    Bool IsNil() const { return value_.index() == 0; }

    Int32 GetInt32() const;
    Float GetFloat() const;
    Vector GetVector() const;
    String GetString() const;
    Filename GetFilename() const;
    BaseList2D* GetLink(const BaseDocument* doc, Int32 instanceof = 0) const;
    // The custom data, when the value holds data of exactly that type; else null.
    CustomDataType* GetCustomDataType(Int32 type) const;

    void SetInt32(Int32 v) { value_ = v; }
    void SetFloat(Float v) { value_ = v; }
    void SetVector(const Vector& v) { value_ = v; }
    void SetString(const String& v) { value_ = v; }
    void SetFilename(const Filename& v) { value_ = v; }
    void SetBaseList2D(BaseList2D* link) { value_ = BaseLink(link); }
    void SetCustomDataType(const CustomDataType& data);

private:
    struct Custom {
        std::unique_ptr<CustomDataType> data;
    };
    std::variant<std::monostate, Int32, Float, Vector, String, Filename, BaseLink, Custom> value_;
};

// The node's data container: its stored parameters by id.
class BaseContainer {
public:
    const GeData* GetDataPointer(Int32 id) const;
    GeData GetData(Int32 id) const;
    Int32 GetInt32(Int32 id, Int32 preset = 0) const;
    Float GetFloat(Int32 id, Float preset = 0.0) const;
    Vector GetVector(Int32 id, const Vector& preset = Vector()) const;
    String GetString(Int32 id, const String& preset = String()) const;

    // Setting a nil value removes the entry.
    void SetData(Int32 id, const GeData& data);
    void SetInt32(Int32 id, Int32 v) { SetData(id, GeData(v)); }
    void SetFloat(Int32 id, Float v) { SetData(id, GeData(v)); }
    void SetVector(Int32 id, const Vector& v) { SetData(id, GeData(v)); }
    void SetString(Int32 id, const String& v) { SetData(id, GeData(v)); }
    Bool RemoveData(Int32 id) { return entries_.erase(id) > 0; }
    Int32 GetCount() const { return static_cast<Int32>(entries_.size()); }

private:
    std::map<Int32, GeData> entries_;
};
