// Scene records that write themselves through the wrapper: the base node, named
// module blocks, and the module that carries the renderer's import options.
#pragma once

#include <string>
#include <utility>

namespace tav {

class tavSceneapi_oo;

class LightNode {
public:
    virtual void insert(tavSceneapi_oo* wrapper) const = 0;
    virtual void defineInstance(tavSceneapi_oo*) {}
    virtual bool isInstance() const { return false; }
    virtual ~LightNode() = default;
};

// A named "load" block whose content the subclass supplies.
class LightModule : public LightNode {
public:
    explicit LightModule(std::string moduleName) : name(std::move(moduleName)) {}

    void insert(tavSceneapi_oo* wrapper) const override;
    virtual void transferToScene(tavSceneapi_oo* wrapper) const = 0;

private:
    std::string name;
};

// The import options sent once at the start of every command.
class DefaultRTModule : public LightModule {
public:
    DefaultRTModule() : LightModule("tavrtopt.so") {}

    void transferToScene(tavSceneapi_oo* wrapper) const override;

    void setImportMode(bool value) { importMode = value; }
    void setImportMergeGroups(bool value) { mergeGroups = value; }
    void setImportMergeObjects(bool value) { mergeObjects = value; }
    void setImportUpVector(int value) { upVector = value; }
    void setMeterScale(float value) { meterScale = value; }
    void setImportKeepOriginal(bool value) { keepOriginal = value; }
    void setImportCenterGeometry(bool value) { centerGeometry = value; }
    void setImportSnapToGround(bool value) { snapToGround = value; }
    void setImportAdjustCamera(bool value) { adjustCamera = value; }
    void setImportAdjustEnvironment(bool value) { adjustEnvironment = value; }
    void setImportUseCamera(std::string value) { useCamera = std::move(value); }
    void setExt(bool value) { ext = value; }

private:
    bool importMode = true;
    bool mergeGroups = true;
    bool mergeObjects = true;
    int upVector = 0;
    float meterScale = 1.0f;
    bool keepOriginal = false;
    bool centerGeometry = true;
    bool snapToGround = false;
    bool adjustCamera = true;
    bool adjustEnvironment = true;
    std::string useCamera;
    bool ext = true;
};

}  // namespace tav
