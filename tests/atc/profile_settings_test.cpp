// The settings seam on a real profile object: the conflict alert reads its
// minima and VFR codes from the profile.
#include "atc/profile_settings.h"

#include <gtest/gtest.h>

#include "atc_fakes.h"
#include "foundation/profile.h"

namespace {

TEST(ProfileSettings, ConflictAlertReadsTheProfile) {
    TempDir dir;
    TarqProfile profile(dir.Path() + "/Tarq.ini");
    profile.SetInt("CAVerticalMin", 1000);
    profile.SetInt("CALateralMin", 5);
    profile.SetString("Callsign", "ME_CTR");
    profile.SetListSetting("VFRCodes", {"1200", "4001-4003"});
    profile.LoadVFRCodes();
    TarqProfileSettings settings(profile);
    EXPECT_TRUE(settings.IsVFRCode(4002));
    EXPECT_FALSE(settings.IsVFRCode(4004));
    EXPECT_EQ(settings.GetList("VFRCodes").size(), 2u);

    AtcWorld w;
    AtcServices services = w.Services();
    services.settings = &settings;
    TarqAircraftDB db(services);
    struct Row {
        const char* name;
        uint16_t squawkA, squawkB;
        bool conflict;
    };
    const Row rows[] = {{"both VFR", 1200, 4003, false}, {"one VFR", 1200, 2000, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        db.UpdatePilotPosition("B", AtcWorld::Report(1.0 / 60, 0, 10000, 300, row.squawkB));
        db.UpdatePilotPosition("A", AtcWorld::Report(0, 0, 10500, 300, row.squawkA));
        EXPECT_EQ(db.IsInConflict("A"), row.conflict);
    }
}

}  // namespace
