// The editor's scale steps and the user's choice kept on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "editor/DisplayScale.h"
#include "editor/ScaleChoice.h"

TEST(DisplayScale, SnapsToTheNearestStepAndRefusesNonsense)
{
    EXPECT_EQ(mg::SnapScalePercent(1.0), 100);
    EXPECT_EQ(mg::SnapScalePercent(1.1), 100);
    EXPECT_EQ(mg::SnapScalePercent(1.5), 150);
    EXPECT_EQ(mg::SnapScalePercent(144.0 / 96.0), 150);
    EXPECT_EQ(mg::SnapScalePercent(2.3), 250);
    EXPECT_EQ(mg::SnapScalePercent(0.5), 100);
    EXPECT_EQ(mg::SnapScalePercent(4.0), 300);
    for (double bad : {0.0, -2.0, 4.01, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()})
        EXPECT_EQ(mg::SnapScalePercent(bad), 0) << bad;
}

TEST(DisplayScale, DevicePixelsRoundHalvesUpAndMapBack)
{
    EXPECT_EQ(mg::ToDevice(213, 125), 266);
    EXPECT_EQ(mg::ToDevice(18, 125), 23);
    EXPECT_EQ(mg::ToDevice(326, 175), 571);
    // Every device pixel of a logical pixel maps back to it.
    for (int percent : mg::kScaleSteps)
        for (int logical = 0; logical < 40; ++logical)
            for (int d = mg::ToDevice(logical, percent); d < mg::ToDevice(logical + 1, percent); ++d)
                EXPECT_EQ(mg::ToLogical(d, percent), logical) << d << " at " << percent;
    EXPECT_EQ(mg::ToLogicalCover(mg::IRectangle(3, 3, 5, 5), 200), mg::IRectangle(1, 1, 3, 3));
}

TEST(ScaleChoice, RoundTripAndAnythingElseIsAutomatic)
{
    const auto folder = std::filesystem::temp_directory_path() / ("mg-scale-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    const auto file = folder / "marrow-grit" / "settings";
    std::filesystem::remove_all(folder);
    EXPECT_EQ(mg::ReadScaleChoice(file), 0) << "no file";
    ASSERT_TRUE(mg::WriteScaleChoice(file, 175));
    EXPECT_EQ(mg::ReadScaleChoice(file), 175);
    ASSERT_TRUE(mg::WriteScaleChoice(file, 0));
    EXPECT_EQ(mg::ReadScaleChoice(file), 0);

    const auto write = [&](const std::string& text) { std::ofstream(file, std::ios::binary) << text; };
    write("editor-scale=150\r\n");
    EXPECT_EQ(mg::ReadScaleChoice(file), 150) << "a file edited on Windows";
    for (const std::string& damaged : {std::string("editor-scale=1"), std::string("editor-scale=150x"),
                                      std::string("editor-scale=99999999999999999999"), std::string("\x89PNG\r\n"),
                                      "editor-scale=200\n" + std::string(8000, '#')}) {
        write(damaged);
        EXPECT_EQ(mg::ReadScaleChoice(file), 0) << damaged.substr(0, 30);
    }
    // A folder where the file should be: unreadable, and unwritable.
    std::filesystem::remove(file);
    std::filesystem::create_directories(file);
    EXPECT_EQ(mg::ReadScaleChoice(file), 0);
    EXPECT_FALSE(mg::WriteScaleChoice(file, 200));
    std::filesystem::remove_all(folder);
}
