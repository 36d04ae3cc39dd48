#include "core/picture_fit.h"

#include <gtest/gtest.h>

#include "core/picture_path.h"
#include "support/fake_user_interface.h"

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

// Photos of pals from the Windows program are stored with Windows paths; the user copies
// them over beside the data file.
TEST(PictureFileCandidates, AWindowsPathIsAlsoLookedForByItsNameInTheDataFolder) {
    using Paths = std::vector<std::filesystem::path>;
    const std::filesystem::path folder = "/home/hanako/pals";
    EXPECT_EQ(PictureFileCandidates("", folder), Paths{});
    EXPECT_EQ(PictureFileCandidates("/home/hanako/a.jpg", folder), Paths{"/home/hanako/a.jpg"});
    EXPECT_EQ(PictureFileCandidates("C:\\My Pictures\\taro.jpg", folder),
              (Paths{"C:\\My Pictures\\taro.jpg", folder / "taro.jpg"}));
    EXPECT_EQ(PictureFileCandidates("C:taro.jpg", folder), (Paths{"C:taro.jpg", folder / "taro.jpg"}));
    EXPECT_EQ(PictureFileCandidates("C:\\My Pictures\\taro.jpg", {}), Paths{"C:\\My Pictures\\taro.jpg"});
    // 表 and ソ end in the byte of a backslash, which must not cut the name.
    EXPECT_EQ(PictureFileCandidates(Sjis("D:\\表示\\ソフト.png"), folder).back(), folder / "ソフト.png");
    EXPECT_EQ(PictureFileCandidates(Sjis("D:\\表"), folder).back(), folder / "表");
}

}  // namespace
