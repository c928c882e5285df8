// The GIF corpus: valid files decode to exactly the indices giflib gives,
// and every file, malformed ones included, loads or fails exactly as the
// reference decoder says.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "gif/giflib_file.h"
#include "gif/picture_matchers.h"

namespace norvane::gif {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = NORVANE_GIF_CORPUS;

std::vector<std::uint8_t> Load(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<fs::path> FilesUnder(const fs::path& folder, const char* extension = ".gif") {
    std::vector<fs::path> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && (!extension || entry.path().extension() == extension))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Valid files that giflib reads completely.
const char* const kValid[] = {
    "wuffs/test/data/animated-red-blue.gif",
    "wuffs/test/data/bricks-dither.gif",
    "wuffs/test/data/bricks-gray.gif",
    "wuffs/test/data/bricks-nodither.gif",
    "wuffs/test/data/gifplayer-muybridge.gif",
    "wuffs/test/data/harvesters.gif",
    "wuffs/test/data/hat.gif",
    "wuffs/test/data/hibiscus.primitive.gif",
    "wuffs/test/data/hibiscus.regular.gif",
    "wuffs/test/data/hippopotamus.interlaced.gif",
    "wuffs/test/data/hippopotamus.masked-with-muybridge.gif",
    "wuffs/test/data/hippopotamus.regular.gif",
    "wuffs/test/data/muybridge.gif",
    "wuffs/test/data/pjw-thumbnail.gif",
};

class ValidFile : public ::testing::TestWithParam<const char*> {};

TEST_P(ValidFile, MatchesGiflibFrameByFrame) {
    const fs::path path = kCorpus / GetParam();
    ASSERT_TRUE(fs::exists(path)) << "no corpus at " << path;
    const auto bytes = Load(path);
    const testing::GiflibFile file(bytes);
    ASSERT_NE(file.get(), nullptr);
    ASSERT_EQ(DGifSlurp(file.get()), GIF_OK);
    const auto picture = testing::DecodeChecked(bytes);
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->frames.size(),
              std::min<std::size_t>(static_cast<std::size_t>(file->ImageCount), 256));
    for (std::size_t i = 0; i < picture->frames.size(); ++i) {
        const Frame& f = picture->frames[i];
        const SavedImage& image = file->SavedImages[i];
        ASSERT_EQ(f.width, image.ImageDesc.Width);
        ASSERT_EQ(f.height, image.ImageDesc.Height);
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x)
                ASSERT_EQ(testing::PixelAt(f, x, y), image.RasterBits[y * f.width + x])
                    << "frame " << i + 1 << " at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, ValidFile, ::testing::ValuesIn(kValid));

TEST(Corpus, FuzzerFindingsStayFixed) {
    const auto files = FilesUnder(NORVANE_GIF_REGRESSIONS, nullptr);
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        DecodeOptions options;
        options.pixelBudget = 1 << 22;
        testing::DecodeChecked(Load(path), options);
    }
}

TEST(Corpus, EveryFileLoadsOrFailsAsTheReferenceSays) {
    std::size_t files = 0, loaded = 0;
    for (const auto& path : FilesUnder(kCorpus, nullptr)) {
        const auto ext = path.extension();
        if (ext == ".md" || ext == ".txt" || ext == ".png" || ext == ".tsv" ||
            path.filename() == "LICENSE")
            continue;
        SCOPED_TRACE(path.string());
        DecodeOptions options;
        options.pixelBudget = 64 << 20;
        const auto picture = testing::DecodeChecked(Load(path), options);
        ++files;
        loaded += picture.has_value();
    }
    ASSERT_GT(files, 0u) << "no corpus at " << kCorpus;
    EXPECT_GT(loaded, 20u);
    RecordProperty("files", static_cast<int>(files));
}

}  // namespace
}  // namespace norvane::gif
