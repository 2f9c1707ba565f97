#include "c4d_basematerial.h"

BaseMaterial* BaseMaterial::Alloc(Int32 type) {
    return type == Mmaterial ? Material::Alloc() : new BaseMaterial(type);
}

void BaseMaterial::Free(BaseMaterial*& mat) {
    delete mat;
    mat = nullptr;
}

Material* Material::Alloc() { return new Material; }

void Material::SetChannelState(Int32 channel, Bool state) {
    if (state) {
        channels_.insert(channel);
    } else {
        channels_.erase(channel);
    }
}

BaseShader* BaseShader::Alloc(Int32 type) { return new BaseShader(type); }

void BaseShader::Free(BaseShader*& shader) {
    delete shader;
    shader = nullptr;
}
