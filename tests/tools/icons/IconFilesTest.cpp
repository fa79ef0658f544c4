// Tests of the icon files: the PNG holds the window icon's very pixels, the SVG draws the same
// picture, and the program's command line fails with a message a packager can act on.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ProgramProbe.h"
#include "tools/icons/SvgIcon.h"
#include "ui/IconPicture.h"

namespace {

// A PNG read back as 0xAARRGGBB pixels (libpng's BGRA in little-endian memory order).
std::vector<uint32_t> readPng(const std::string& path, int& size) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint32_t> pixels(static_cast<std::size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return {};
    size = image.width == image.height ? static_cast<int>(image.width) : -1;
    return pixels;
}

// Runs velozor-icons with `arguments`; its standard output and error go to `output`.
int run(const std::string& arguments, std::string* output = nullptr) {
    int status = -1;
    const std::string said =
        velozor::testing::commandOutput(VELOZOR_ICONS_PROGRAM " " + arguments + " 2>&1", &status);
    if (output != nullptr)
        *output = said;
    return status;
}

// From a pixel of a 256-pixel row to each of its eight neighbours.
constexpr int kNeighbours[] = {-257, -256, -255, -1, 1, 255, 256, 257};

class IconFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velozor-icons-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

// Rendered by librsvg at 256 pixels, the SVG matches the drawing wherever the drawing is
// uniform around a pixel; only the edges, which librsvg smooths, may differ.
TEST_F(IconFiles, SvgDrawsTheSamePictureAsTheRasterIcon) {
    const std::filesystem::path svg = folder / "icon.svg";
    std::ofstream(svg) << velozor::icons::svgIcon(velozor::kIconGeometry);
    const std::filesystem::path png = folder / "rendered.png";
    const std::string command = std::string(VELOZOR_RSVG_CONVERT) + " -w 256 -h 256 -o '" +
                                png.string() + "' '" + svg.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    int size = 0;
    const std::vector<uint32_t> rendered = readPng(png.string(), size);
    ASSERT_EQ(size, 256);
    const std::vector<uint32_t> drawn = velozor::drawIcon(256);
    int compared = 0;
    int different = 0;
    for (int at = 257; at < 255 * 256; ++at) {
        const bool uniform = at % 256 != 0 && at % 256 != 255 &&
                             std::all_of(kNeighbours, std::end(kNeighbours),
                                         [&](int step) { return drawn[at + step] == drawn[at]; });
        compared += uniform;
        different += uniform && rendered[at] != drawn[at];
    }
    EXPECT_GT(compared, 256 * 256 * 9 / 10);
    EXPECT_EQ(different, 0);
}

// The program writes the PNG of the drawing's very pixels, refuses a bad command line and names
// a file it cannot write.
TEST_F(IconFiles, ProgramWritesThePngOfTheDrawingOrSaysWhatIsWrong) {
    const std::string path = (folder / "icon.png").string();
    EXPECT_EQ(run("--png 48 '" + path + "'"), 0);
    int size = 0;
    EXPECT_EQ(readPng(path, size), velozor::drawIcon(48));
    EXPECT_EQ(size, 48);

    std::string said;
    EXPECT_EQ(run("--png 0 '" + path + "'", &said), 2);
    EXPECT_EQ(said.rfind("velozor-icons: the size \"0\" is not a whole number from 1 to 1024\n", 0),
              0u)
        << said;
    EXPECT_EQ(run("--svg"), 2);
    EXPECT_EQ(run("--jpeg x.jpg"), 2);

    const std::string nowhere = (folder / "missing" / "icon.png").string();
    EXPECT_EQ(run("--png 16 '" + nowhere + "'", &said), 1);
    EXPECT_EQ(said, "velozor-icons: cannot create " + nowhere + ": No such file or directory\n");
    EXPECT_EQ(run("--svg '" + nowhere + "'"), 1);
    EXPECT_FALSE(std::filesystem::exists(nowhere));
}

}  // namespace
