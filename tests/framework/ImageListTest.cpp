// Image lists of 16-colour icons, as the trees use them: icons added and
// counted, and a duplicate whose pictures change apart from its original's.
#include "framework/Gdi.h"
#include "framework/ImageList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// An opaque 16 by 16 icon of one colour (0xRRGGBB).
struct SolidIcon {
    HICON h;
    explicit SolidIcon(DWORD rgb)
    {
        const BYTE opaque[16 * 16 / 8] = {};
        const std::vector<DWORD> pixels(16 * 16, rgb);
        h = ::CreateIcon(nullptr, 16, 16, 1, 32, opaque, reinterpret_cast<const BYTE*>(pixels.data()));
    }
    ~SolidIcon() { ::DestroyIcon(h); }
};

// The colour picture `index` of the list shows in its middle.
COLORREF ColourOf(const CImageList& list, int index)
{
    CClientDC screen(nullptr);
    CBitmap canvas;
    canvas.CreateCompatibleBitmap(screen, 16, 16);
    CMemoryDC dc(screen);
    CSelectObject selected(dc, canvas);
    ::ImageList_Draw(list.Get(), index, dc, 0, 0, ILD_NORMAL);
    return ::GetPixel(dc, 8, 8);
}

TEST(ImageList, IconsAreCountedAndADuplicateChangesApartFromItsOriginal)
{
    SolidIcon red(0xFF0000), blue(0x0000FF);
    ASSERT_TRUE(red.h && blue.h);
    CImageList list;
    ASSERT_TRUE(list.Create(16, 16, ILC_COLOR4 | ILC_MASK, 2, 2));
    // More icons than the initial size: the list grows by its step.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list.AddIcon(i % 2 ? blue.h : red.h), i);
        EXPECT_EQ(list.GetImageCount(), i + 1);
    }
    EXPECT_EQ(ColourOf(list, 0), RGB(255, 0, 0));
    EXPECT_EQ(ColourOf(list, 1), RGB(0, 0, 255));

    CImageList copy;
    ASSERT_TRUE(list.Duplicate(copy));
    ASSERT_NE(copy.Get(), list.Get());
    EXPECT_EQ(copy.ReplaceIcon(0, blue.h), 0);
    EXPECT_EQ(copy.AddIcon(red.h), 5);
    EXPECT_EQ(ColourOf(copy, 0), RGB(0, 0, 255));
    EXPECT_EQ(ColourOf(copy, 1), RGB(0, 0, 255));
    EXPECT_EQ(ColourOf(list, 0), RGB(255, 0, 0));
    EXPECT_EQ(copy.GetImageCount(), 6);
    EXPECT_EQ(list.GetImageCount(), 5);
}

}  // namespace
