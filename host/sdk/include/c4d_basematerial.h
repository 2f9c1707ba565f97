// Materials and shaders. A material owns its shaders (GetFirstShader); parameters
// link them (GeData::GetLink).
#pragma once

#include <set>

#include "c4d_baselist.h"

// A material of any type (Mmaterial, Mhair, ...).
class BaseMaterial : public BaseList2D {
public:
    static BaseMaterial* Alloc(Int32 type);
    static void Free(BaseMaterial*& mat);

    BaseMaterial* GetNext() const { return static_cast<BaseMaterial*>(GeListNode::GetNext()); }
    BaseMaterial* GetPred() const { return static_cast<BaseMaterial*>(GeListNode::GetPred()); }

protected:
    explicit BaseMaterial(Int32 type) : BaseList2D(type) {}
};

// The standard material (Mmaterial) with its channels (CHANNEL_COLOR, ...), all off
// when created.
class Material : public BaseMaterial {
public:
    static Material* Alloc();

    Bool GetChannelState(Int32 channel) const { return channels_.count(channel) > 0; }
    void SetChannelState(Int32 channel, Bool state);

private:
    Material() : BaseMaterial(Mmaterial) {}
    std::set<Int32> channels_;
};

// A shader of any type (Xcolor: colour in COLORSHADER_COLOR; Xbitmap: file name in
// BITMAPSHADER_FILENAME; Xgradient: gradient in SLA_GRADIENT_GRADIENT).
class BaseShader : public BaseList2D {
public:
    static BaseShader* Alloc(Int32 type);
    static void Free(BaseShader*& shader);

    BaseShader* GetNext() const { return static_cast<BaseShader*>(GeListNode::GetNext()); }
    BaseShader* GetDown() const { return static_cast<BaseShader*>(GeListNode::GetDown()); }
    Bool IsInstanceOf(Int32 type) const override {
        return type == Xbase || BaseList2D::IsInstanceOf(type);
    }

private:
    explicit BaseShader(Int32 type) : BaseList2D(type) {}
};
