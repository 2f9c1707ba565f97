#include "LightModule.h"

#include "tavsceneapi_oo.h"

namespace tav {

void LightModule::insert(tavSceneapi_oo* wrapper) const {
    tavScene_api* api = wrapper->get_scene_api();
    api->module_begin(name.c_str());
    transferToScene(wrapper);
    api->module_end();
}

void DefaultRTModule::transferToScene(tavSceneapi_oo* wrapper) const {
    wrapper->set_parameter("import_mode", importMode);
    wrapper->set_parameter("import_merge_groups", mergeGroups);
    wrapper->set_parameter("import_merge_objects", mergeObjects);
    wrapper->set_parameter("import_up_vector", upVector);
    wrapper->set_parameter("meter_scale", meterScale);
    wrapper->set_parameter("import_keep_original", keepOriginal);
    wrapper->set_parameter("import_center_geometry", centerGeometry);
    wrapper->set_parameter("import_snap_to_ground", snapToGround);
    wrapper->set_parameter("import_adjust_camera", adjustCamera);
    wrapper->set_parameter("import_adjust_environment", adjustEnvironment);
    // An empty name would make the renderer look for a camera called "".
    if (!useCamera.empty()) wrapper->set_parameter("import_use_camera", useCamera);
    wrapper->set_parameter("ext", ext);
}

}  // namespace tav
