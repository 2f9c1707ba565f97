#include "c4d_basematerial.h"
#include "c4d_basetag.h"

BaseTag* BaseTag::Alloc(Int32 type) {
    switch (type) {
        case Ttexture:
            return TextureTag::Alloc();
        case Tuvw:
            return UVWTag::Alloc(0);
        case Tnormal:
            return NormalTag::Alloc(0);
        case Tpolygonselection:
            return SelectionTag::Alloc(type);
        default:
            return new BaseTag(type);
    }
}

void BaseTag::Free(BaseTag*& tag) {
    delete tag;
    tag = nullptr;
}

BaseObject* BaseTag::GetObject() const {
    const GeListHead* head = GetListHead();
    return head ? static_cast<BaseObject*>(head->GetOwner()) : nullptr;
}

TextureTag::TextureTag() : BaseTag(Ttexture) {
    BaseContainer& data = *GetDataInstance();
    data.SetFloat(TEXTURETAG_OFFSETX, 0.0);
    data.SetFloat(TEXTURETAG_OFFSETY, 0.0);
    data.SetFloat(TEXTURETAG_LENGTHX, 1.0);
    data.SetFloat(TEXTURETAG_LENGTHY, 1.0);
    data.SetInt32(TEXTURETAG_PROJECTION, TEXTURETAG_PROJECTION_UVW);
    data.SetString(TEXTURETAG_RESTRICTION, String());
    data.SetInt32(TEXTURETAG_TILE, 1);
}

TextureTag* TextureTag::Alloc() { return new TextureTag; }

void TextureTag::SetMaterial(BaseMaterial* mat) {
    GeData link;
    link.SetBaseList2D(mat);
    GetDataInstance()->SetData(TEXTURETAG_MATERIAL, link);
}

BaseMaterial* TextureTag::GetMaterial(Bool ignoredoc) const {
    const GeData* link = GetDataInstance()->GetDataPointer(TEXTURETAG_MATERIAL);
    if (link == nullptr) return nullptr;
    return dynamic_cast<BaseMaterial*>(link->GetLink(ignoredoc ? nullptr : GetDocument()));
}

UVWTag::UVWTag(Int32 cnt) : BaseTag(Tuvw), data_(cnt > 0 ? cnt : 0) {}

UVWTag* UVWTag::Alloc(Int32 cnt) { return new UVWTag(cnt); }

NormalTag::NormalTag() : BaseTag(Tnormal) {}

NormalTag* NormalTag::Alloc(Int32) { return new NormalTag; }

SelectionTag::SelectionTag(Int32 type) : BaseTag(type) {}

SelectionTag* SelectionTag::Alloc(Int32 type) { return new SelectionTag(type); }
