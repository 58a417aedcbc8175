#include "linux/RaplPowerMeter.h"

#include "FakeSysfs.h"

#include <gtest/gtest.h>

using joulemap::RaplPowerMeter;
using joulemap::test::FakeSysfs;

TEST(RaplPowerMeter, AveragesThePsysCounterAcrossWrapAndReset) {
    const std::string psys = "class/powercap/intel-rapl:1/";
    const int64_t rangeUj = 262143328850;
    FakeSysfs sys;
    sys.set("class/powercap/intel-rapl:0/", {"name=package-0", "energy_uj=5"});
    sys.set(psys, {"name=psys", "max_energy_range_uj=" + std::to_string(rangeUj)});
    RaplPowerMeter meter(sys.root / "class/powercap");
    EXPECT_FALSE(meter.sampleMw(99));  // no counter readable yet

    sys.write(psys + "energy_uj", std::to_string(rangeUj - 10'000'000));
    EXPECT_FALSE(meter.sampleMw(100));  // a baseline, no interval yet
    sys.write(psys + "energy_uj", std::to_string(rangeUj - 1'000'000));
    EXPECT_DOUBLE_EQ(*meter.sampleMw(103), 3000);
    sys.write(psys + "energy_uj", std::to_string(rangeUj - 999'000));
    EXPECT_DOUBLE_EQ(*meter.sampleMw(103.01), 3000);  // an overlapping call keeps the last figure
    sys.write(psys + "energy_uj", "44000000");        // 1 J to the top, 44 J after the wrap
    EXPECT_DOUBLE_EQ(*meter.sampleMw(106), 15000);

    sys.write(psys + "energy_uj", "1000");                          // counter reset on resume: not a wrap
    sys.write("class/powercap/intel-rapl:0/energy_uj", "1000005");  // the package kept counting
    EXPECT_DOUBLE_EQ(*meter.sample(107).packageMw, 1000);           // 1 J since 106
    EXPECT_FALSE(meter.sampleMw(107));
    sys.write(psys + "energy_uj", "2001000");
    EXPECT_DOUBLE_EQ(*meter.sampleMw(108), 2000);
    EXPECT_FALSE(meter.sampleMw(108 + RaplPowerMeter::kMaxIntervalSeconds + 1));  // stale baseline
}
