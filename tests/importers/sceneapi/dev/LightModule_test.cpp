#include "LightModule.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingApi.h"
#include "tavsceneapi_oo.h"

using testing::ElementsAre;

TEST(ImportOptionsModule, DefaultSendsElevenOptionsInOrderInsideLoadBlock) {
    RecordingApi api;
    tav::PassThroughFactory factory(&api);
    tav::tavSceneapi_oo wrapper(&factory);
    api.calls.clear();
    wrapper.insertNode(tav::DefaultRTModule());
    EXPECT_THAT(api.calls,
                ElementsAre("module_begin tavrtopt.so", "set_parameter import_mode bool 1",
                            "set_parameter import_merge_groups bool 1",
                            "set_parameter import_merge_objects bool 1",
                            "set_parameter import_up_vector int 0",
                            "set_parameter meter_scale float 1",
                            "set_parameter import_keep_original bool 0",
                            "set_parameter import_center_geometry bool 1",
                            "set_parameter import_snap_to_ground bool 0",
                            "set_parameter import_adjust_camera bool 1",
                            "set_parameter import_adjust_environment bool 1",
                            "set_parameter ext bool 1", "module_end"));
}

TEST(ImportOptionsModule, SettersChangeValuesAndCameraNameComesBeforeExt) {
    RecordingApi api;
    tav::PassThroughFactory factory(&api);
    tav::tavSceneapi_oo wrapper(&factory);
    tav::DefaultRTModule module;
    module.setMeterScale(100);
    module.setImportUpVector(2);
    module.setImportKeepOriginal(true);
    module.setExt(false);
    module.setImportUseCamera("Cam");
    api.calls.clear();
    wrapper.insertNode(module);
    ASSERT_EQ(api.calls.size(), 14u);
    EXPECT_EQ(api.calls[4], "set_parameter import_up_vector int 2");
    EXPECT_EQ(api.calls[5], "set_parameter meter_scale float 100");
    EXPECT_EQ(api.calls[6], "set_parameter import_keep_original bool 1");
    EXPECT_EQ(api.calls[10], "set_parameter import_adjust_environment bool 1");
    EXPECT_EQ(api.calls[11], "set_parameter import_use_camera string Cam");
    EXPECT_EQ(api.calls[12], "set_parameter ext bool 0");
}
