#include "LightModule.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingApi.h"

using testing::ElementsAre;

TEST(ImportOptionsModule, SendsOptionsInOrderWithCameraNameOnlyWhenGiven) {
    EXPECT_THAT(
        recordInsert(tav::DefaultRTModule()),
        ElementsAre(
            "module_begin tavrtopt.so", "set_parameter import_mode 0x7 1",
            "set_parameter import_merge_groups 0x7 1", "set_parameter import_merge_objects 0x7 1",
            "set_parameter import_up_vector 0x6 0", "set_parameter meter_scale 0x3 1",
            "set_parameter import_keep_original 0x7 0",
            "set_parameter import_center_geometry 0x7 1",
            "set_parameter import_snap_to_ground 0x7 0", "set_parameter import_adjust_camera 0x7 1",
            "set_parameter import_adjust_environment 0x7 1", "set_parameter ext 0x7 1",
            "module_end"));

    tav::DefaultRTModule module;
    module.setMeterScale(100);
    module.setImportUseCamera("Cam");
    module.setExt(false);
    const auto calls = recordInsert(module);
    ASSERT_EQ(calls.size(), 14u);
    EXPECT_EQ(calls[5], "set_parameter meter_scale 0x3 100");
    EXPECT_EQ(calls[11], "set_parameter import_use_camera 0xa Cam");
    EXPECT_EQ(calls[12], "set_parameter ext 0x7 0");
}
