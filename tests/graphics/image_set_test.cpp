#include "graphics/image_set.h"
#include "tests/graphics/graphics_test_util.h"

#include <gtest/gtest.h>

using graphics_test::SaveSolidPng;

namespace
{
class ImageSetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Each width in its own colour, so a chosen variant can be told by its width and colour.
        for (uint32_t width : {16u, 32u, 64u})
            ASSERT_TRUE(SaveSolidPng(Path(width), width, 4, 0xFF000000u | width));
        m_folder.Write("broken.png", "not a picture");
    }

    std::string Path(uint32_t width) const { return m_folder / ("button-" + std::to_string(width) + ".png"); }

    CTempFolder m_folder;
};
}  // namespace

TEST_F(ImageSetTest, TheNearestWidthWinsAndTiesKeepTheEarlierVariant)
{
    CImageSet set;
    for (uint32_t width : {16u, 32u, 64u})
        set.AddFile(Path(width));
    EXPECT_EQ(set.GetVariantCount(), 0u);  // listed, not yet decoded
    EXPECT_EQ(set.GetPendingCount(), 3u);

    EXPECT_EQ(set.GetImagePointer(40)->GetWidth(), 32);
    EXPECT_EQ(set.GetVariantCount(), 3u);
    EXPECT_EQ(set.GetPendingCount(), 0u);
    EXPECT_EQ(set.GetImagePointer(48)->GetWidth(), 32);
    EXPECT_EQ(set.GetImagePointer(100)->GetWidth(), 64);
    EXPECT_EQ(set.GetImagePointer(0)->GetWidth(), 16);
    EXPECT_EQ(set.GetImagePointer(20000), nullptr);

    CZevralImage image(3, 3);
    set.GetImage(image, 20000);
    EXPECT_EQ(image.GetWidth(), 3);
    set.GetImage(image, 60);
    EXPECT_EQ(image.GetWidth(), 64);
    EXPECT_EQ(image.GetPixel(0u).GetValue(), 0xFF000040u);
}

TEST_F(ImageSetTest, UnreadableFilesRepeatTheVariantBefore)
{
    // Decoded when first asked for, and decoded ahead on worker threads: the same variants.
    for (bool ahead : {false, true})
    {
        CImageSet first;
        testing::internal::CaptureStdout();
        first.AddFile(m_folder / "broken.png");
        first.AddFile(Path(32));
        first.AddFile(m_folder / "missing.png");
        if (ahead)
            first.DecodeAhead();
        first.LoadPending();
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(first.GetVariantCount(), 3u);
        // The failed first file is an empty variant, which a request for 0 then chooses.
        const CZevralImage* chosen = first.GetImagePointer(0);
        ASSERT_NE(chosen, nullptr);
        EXPECT_EQ(chosen->GetWidth(), 0);
        // The missing third file repeats the 32-wide one.
        CImageSet copy = first;
        EXPECT_EQ(copy.GetImagePointer(32)->GetWidth(), 32);
        EXPECT_EQ(copy.GetImagePointer(32)->GetPixel(0u).GetValue(), 0xFF000020u) << "ahead " << ahead;
    }

    CImageSet none;
    EXPECT_EQ(none.GetImagePointer(0), nullptr);
}

TEST_F(ImageSetTest, PointersStayValidWhenLaterFilesAreDecoded)
{
    CImageSet set;
    set.AddFile(Path(16));
    const CZevralImage* early = set.GetImagePointer(16);
    ASSERT_NE(early, nullptr);
    for (int i = 0; i < 200; ++i)
        set.AddFile(Path(64));
    EXPECT_EQ(set.GetImagePointer(64)->GetWidth(), 64);
    EXPECT_EQ(early->GetWidth(), 16);
    EXPECT_EQ(early->GetPixel(0u).GetValue(), 0xFF000010u);
}

TEST_F(ImageSetTest, CopiesLeavePendingFilesBehindAssignmentsTakeThem)
{
    CImageSet set;
    set.SetName("button");
    set.AddFile(Path(16));
    set.LoadPending();
    set.AddFile(Path(64));

    CImageSet copied(set);
    EXPECT_EQ(copied.GetName(), "button");
    EXPECT_EQ(copied.GetPendingCount(), 0u);
    EXPECT_EQ(copied.GetImagePointer(64)->GetWidth(), 16);

    CImageSet assigned;
    assigned = set;
    EXPECT_EQ(assigned.GetPendingCount(), 1u);
    EXPECT_EQ(assigned.GetImagePointer(64)->GetWidth(), 64);
}
