// Replays the fuzzing corpora: every input the fuzzers start from (corpus/) and every input kept
// for replay (replay/: hostile cases, findings, real exports) goes through the TGA loader and
// the ASE reader again, so a fixed fault stays fixed without a fuzzer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/ase_reader.h"
#include "assets/tga_loader.h"
#include "support/gl_context.h"

namespace fs = std::filesystem;

namespace {
std::vector<fs::path> corpus(const char* name)
{
    std::vector<fs::path> files;
    const fs::path fuzz = fs::path(DEMOTORVA_TEST_DATA_DIR).parent_path() / "fuzz";
    for (const char* folder : {"corpus", "replay"}) {
        std::error_code e;
        for (const auto& entry : fs::directory_iterator(fuzz / folder / name, e))
            if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}
}  // namespace

TEST(FuzzCorpus, TgaInputsGiveAStatus)
{
    auto files = corpus("tga");
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        TgaImage image;
        TgaStatus status = readTgaImage(file.c_str(), image);
        EXPECT_TRUE(status == TgaLoaded || (status >= TgaCannotOpen && status <= TgaShortData))
            << file << " gave " << status;
        if (status == TgaLoaded) {
            EXPECT_GT(image.width * image.height, 0) << file;
            freeTgaImage(image);
        }
    }
}

TEST(FuzzCorpus, AseInputsLoadAndRelease)
{
    auto files = corpus("ase");
    if (files.empty()) GTEST_SKIP() << "no ASE corpus";
    // Materials upload their bitmaps, so the reader runs with a context as in the demo.
    ASSERT_TRUE(openTestGlContext());
    for (const auto& file : files) {
        AseModel model{};
        EXPECT_EQ(loadAseModel(file.c_str(), model), 1) << file;
        releaseAseModel(model);
    }
}
