#include "core/picture_fit.h"

#include <gtest/gtest.h>

namespace {

TEST(FitPictureToBox, LongerSideFillsTheBoxShorterIsTruncated) {
    EXPECT_EQ(FitPictureToBox(100, 50, 46), (PictureSize{46, 23}));
    EXPECT_EQ(FitPictureToBox(50, 100, 46), (PictureSize{23, 46}));
    EXPECT_EQ(FitPictureToBox(100, 30, 46), (PictureSize{46, 13}));  // 13.8
    EXPECT_EQ(FitPictureToBox(64, 64, 46), (PictureSize{46, 46}));
    EXPECT_EQ(FitPictureToBox(100, 50, 24), (PictureSize{24, 12}));
    EXPECT_EQ(FitPictureToBox(300, 200, 120), (PictureSize{120, 80}));
    EXPECT_EQ(FitPictureToBox(100, 100, 120), (PictureSize{120, 120}));  // enlarged
    EXPECT_EQ(FitPictureToBox(20000, 1, 46), (PictureSize{46, 0}));
    EXPECT_EQ(FitPictureToBox(0, 10, 46), (PictureSize{}));
}

}  // namespace
