#include <gtest/gtest.h>

#include "BmpFixture.h"
#include "controls/ShapeRegion.h"

namespace {

constexpr Color K = kShapeKeyColor;
constexpr Color A = Rgb(10, 20, 30);
constexpr Color B = Rgb(77, 0, 84);  // one step from the key colour: inside the window

TEST(ShapeRegion, RunsOfNonKeyPixelsRowByRow) {
    const PixelImage image{5,
                           4,
                           {
                               K, A, A, K, B,  //
                               K, K, K, K, K,  //
                               A, A, A, A, A,  //
                               A, K, B, K, A,  //
                           }};
    const std::vector<Rect> expected = {
        {1, 0, 2, 1}, {4, 0, 1, 1}, {0, 2, 5, 1}, {0, 3, 1, 1}, {2, 3, 1, 1}, {4, 3, 1, 1},
    };
    EXPECT_EQ(ComputeShapeRuns(image), expected);
}

TEST(ShapeRegion, ShapeSurvivesTheTripThroughABmpFile) {
    PixelImage image = SolidImage(7, 3, A);
    image.pixels[0] = K;   // top-left corner cut off
    image.pixels[20] = K;  // bottom-right corner cut off
    PixelImage decoded;
    ASSERT_EQ(DecodeBmp(MakeBmp24(image), decoded), 0);
    EXPECT_EQ(ComputeShapeRuns(decoded), (std::vector<Rect>{{1, 0, 6, 1}, {0, 1, 7, 1}, {0, 2, 6, 1}}));
}

TEST(ShapeRegion, EmptyOrInconsistentImagesGiveNoRegion) {
    EXPECT_TRUE(ComputeShapeRuns(PixelImage{}).empty());
    EXPECT_TRUE(ComputeShapeRuns(PixelImage{4, 4, std::vector<Color>(3, A)}).empty());
    EXPECT_TRUE(ComputeShapeRuns(SolidImage(3, 3, K)).empty());
}

}  // namespace
