// Path resolution: backslashes and letter case, one component at a time.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/files.h"

namespace fs = std::filesystem;

TEST(ResolvePath, SeparatorsAndCase)
{
    fs::path root = fs::path(::testing::TempDir()) / "resolve";
    fs::remove_all(root);
    fs::create_directories(root / "Models" / "Tunel01");
    std::ofstream(root / "Models" / "Tunel01" / "Tunel01.ASE") << "x";
    fs::current_path(root);
    EXPECT_EQ(resolvePath("Models/Tunel01/Tunel01.ASE"), "Models/Tunel01/Tunel01.ASE");
    EXPECT_EQ(resolvePath("Models\\Tunel01\\Tunel01.ASE"), "Models/Tunel01/Tunel01.ASE");
    EXPECT_EQ(resolvePath("models\\tunel01\\tunel01.ase"), "Models/Tunel01/Tunel01.ASE");
    EXPECT_EQ(resolvePath("./MODELS/tunel01/TUNEL01.ase"), "Models/Tunel01/Tunel01.ASE");
    std::string absolute = (root / "models" / "TUNEL01" / "tunel01.ase").string();
    EXPECT_EQ(resolvePath(absolute), (root / "Models" / "Tunel01" / "Tunel01.ASE").string());
    EXPECT_EQ(resolvePath("models/none.ase"), "models/none.ase");
    EXPECT_EQ(resolvePath(""), "");
}
