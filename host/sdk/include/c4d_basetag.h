// Tags on objects: texture, UVW, normal, phong and polygon selection tags.
#pragma once

#include <vector>

#include "c4d_baseobject.h"
#include "c4d_baseselect.h"

class BaseMaterial;

class BaseTag : public BaseList2D {
public:
    // A tag of any type; the classes below for the types they model.
    static BaseTag* Alloc(Int32 type);
    static void Free(BaseTag*& tag);

    BaseTag* GetNext() const { return static_cast<BaseTag*>(GeListNode::GetNext()); }
    BaseTag* GetPred() const { return static_cast<BaseTag*>(GeListNode::GetPred()); }
    BaseObject* GetObject() const;

protected:
    explicit BaseTag(Int32 type) : BaseList2D(type) {}
};

// Created with the host's defaults: offsets 0, lengths 1, projection UVW (6), no
// restriction, tiling on. Parameter 1010 links the material.
class TextureTag : public BaseTag {
public:
    static TextureTag* Alloc();

    void SetMaterial(BaseMaterial* mat);
    // The linked material, if it lies in the tag's document.
    BaseMaterial* GetMaterial(Bool ignoredoc = false) const;

    // The placement matrix of the texture.
    Matrix GetMl() const { return ml_; }
    void SetMl(const Matrix& m) { ml_ = m; }

private:
    TextureTag();
    Matrix ml_;
};

struct UVWStruct {
    Vector a, b, c, d;
};

using UVWHandle = void*;
using ConstUVWHandle = const void*;

// One UVW record (corners a to d) per polygon.
class UVWTag : public BaseTag {
public:
    static UVWTag* Alloc(Int32 cnt);

    Int32 GetDataCount() const { return static_cast<Int32>(data_.size()); }
    ConstUVWHandle GetDataAddressR() const { return data_.data(); }
    UVWHandle GetDataAddressW() { return data_.data(); }
    static void Get(ConstUVWHandle dataptr, Int32 i, UVWStruct& res) {
        res = static_cast<const UVWStruct*>(dataptr)[i];
    }
    static void Set(UVWHandle dataptr, Int32 i, const UVWStruct& s) {
        static_cast<UVWStruct*>(dataptr)[i] = s;
    }

private:
    explicit UVWTag(Int32 cnt);
    std::vector<UVWStruct> data_;
};

// Stored normals per polygon corner. The stand-in keeps none: its presence is what
// counts (nothing reads the normals themselves).
class NormalTag : public BaseTag {
public:
    static NormalTag* Alloc(Int32 cnt);

private:
    NormalTag();
};

class SelectionTag : public BaseTag {
public:
    // type: Tpolygonselection (the stand-in models polygon selections only).
    static SelectionTag* Alloc(Int32 type = Tpolygonselection);

    BaseSelect* GetBaseSelect() { return &select_; }
    const BaseSelect* GetBaseSelect() const { return &select_; }

private:
    explicit SelectionTag(Int32 type);
    BaseSelect select_;
};
