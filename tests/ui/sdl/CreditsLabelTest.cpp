// Tests of the credits label's line breaking and wrapping.
#include "ui/sdl/CreditsLabel.h"

#include <gtest/gtest.h>

namespace velozor {
namespace {

using Lines = std::vector<std::string>;

TEST(CreditsLabelLines, BreaksAtEachCarriageReturnOrLineFeedAndKeepsEmptyLines) {
    EXPECT_EQ(CreditsLabel::splitLines("Realizado por:\rA\rB\r\rJuego gratuito"),
              (Lines{"Realizado por:", "A", "B", "", "Juego gratuito"}));
    EXPECT_EQ(CreditsLabel::splitLines("a\r"), (Lines{"a", ""}));
    EXPECT_EQ(CreditsLabel::splitLines("a\r\nb\nc\n\rd"), (Lines{"a", "b", "c", "", "d"}));
}

class CreditsLabelDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        if (!label.hasFont())
            GTEST_FAIL() << "no font for the label: " << label.error();
    }
    CreditsLabel label{1.0, findSansFont()};
};

// The label grows by one line for every line it wraps into.
TEST_F(CreditsLabelDrawing, WrapsALineWiderThanTheLabelAtItsSpaces) {
    const std::string longLine =
        "una linea de creditos mucho mas larga que la etiqueta que la tiene que mostrar";
    ASSERT_TRUE(label.setText("corta\r" + longLine));
    const Lines& lines = label.lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "corta");
    std::string joined = lines[1];
    for (std::size_t i = 2; i < lines.size(); ++i)
        joined += " " + lines[i];
    EXPECT_EQ(joined, longLine);
    CreditsLabel oneLine(1.0, findSansFont());
    oneLine.setText("corta");
    EXPECT_EQ(label.area().h, oneLine.area().h * static_cast<int>(lines.size()));
}

TEST_F(CreditsLabelDrawing, ScalesWithTheScreensDensity) {
    CreditsLabel doubled(2.0, findSansFont());
    label.setText("Velozor");
    doubled.setText("Velozor");
    EXPECT_EQ(doubled.area().x, 2 * CreditsLabel::kLeft);
    EXPECT_EQ(doubled.area().w, 2 * CreditsLabel::kWidth);
    EXPECT_GT(doubled.area().h, label.area().h * 3 / 2) << "the font did not grow with the scale";
}

}  // namespace
}  // namespace velozor
