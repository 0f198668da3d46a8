// Image lists of 16-colour icons, as the trees use them: icons added and
// counted, and a duplicate that changes apart from its original.
#include "framework/Gdi.h"
#include "framework/ImageList.h"

#include <gtest/gtest.h>

namespace {

// An opaque 16 by 16 icon of one colour.
class CSolidIcon {
public:
    explicit CSolidIcon(COLORREF colour)
    {
        CClientDC screen(nullptr);
        CBitmap picture;
        picture.CreateCompatibleBitmap(screen, 16, 16);
        {
            CMemoryDC dc(screen);
            CSelectObject selected(dc, picture);
            CBrush brush;
            brush.CreateSolidBrush(colour);
            RECT all{0, 0, 16, 16};
            ::FillRect(dc, &all, brush);
        }
        BYTE opaque[16 * 2] = {};  // an all-zero AND mask
        CBitmap mask;
        mask.Attach(::CreateBitmap(16, 16, 1, 1, opaque));
        ICONINFO info{TRUE, 0, 0, mask, picture};
        m_h = ::CreateIconIndirect(&info);
    }
    ~CSolidIcon() { if (m_h) ::DestroyIcon(m_h); }
    CSolidIcon(const CSolidIcon&) = delete;
    CSolidIcon& operator=(const CSolidIcon&) = delete;
    operator HICON() const { return m_h; }

private:
    HICON m_h = nullptr;
};

// The colour picture `index` of the list shows in its middle.
COLORREF ColourOf(const CImageList& list, int index)
{
    CClientDC screen(nullptr);
    CBitmap canvas;
    canvas.CreateCompatibleBitmap(screen, 16, 16);
    CMemoryDC dc(screen);
    CSelectObject selected(dc, canvas);
    RECT all{0, 0, 16, 16};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::ImageList_Draw(list.Get(), index, dc, 0, 0, ILD_NORMAL);
    return ::GetPixel(dc, 8, 8);
}

class ImageList : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(static_cast<HICON>(red), nullptr);
        ASSERT_NE(static_cast<HICON>(blue), nullptr);
        ASSERT_TRUE(list.Create(16, 16, ILC_COLOR4 | ILC_MASK, 2, 2));
    }

    CSolidIcon red{RGB(255, 0, 0)};
    CSolidIcon blue{RGB(0, 0, 255)};
    CImageList list;
};

TEST_F(ImageList, IconsGoInAtTheEndAndAreCounted)
{
    EXPECT_EQ(list.GetImageCount(), 0);
    // More icons than the initial size: the list grows by its step.
    const HICON icons[] = {red, blue, red, blue, red};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list.AddIcon(icons[i]), i);
        EXPECT_EQ(list.GetImageCount(), i + 1);
    }
    IMAGEINFO info{};
    ASSERT_TRUE(::ImageList_GetImageInfo(list.Get(), 0, &info));
    EXPECT_EQ(info.rcImage.right - info.rcImage.left, 16);
    EXPECT_EQ(info.rcImage.bottom - info.rcImage.top, 16);
}

TEST_F(ImageList, ReplacingAnIconKeepsTheCountAndMinusOneAddsOne)
{
    ASSERT_EQ(list.AddIcon(red), 0);
    ASSERT_EQ(list.AddIcon(red), 1);
    COLORREF redShown = ColourOf(list, 0);
    EXPECT_EQ(list.ReplaceIcon(1, blue), 1);
    EXPECT_EQ(list.GetImageCount(), 2);
    COLORREF blueShown = ColourOf(list, 1);
    EXPECT_NE(blueShown, redShown);
    EXPECT_GT(GetRValue(redShown), GetBValue(redShown));
    EXPECT_GT(GetBValue(blueShown), GetRValue(blueShown));
    EXPECT_EQ(list.ReplaceIcon(-1, blue), 2);
    EXPECT_EQ(list.GetImageCount(), 3);
    EXPECT_EQ(list.ReplaceIcon(1000, blue), -1);
    EXPECT_EQ(list.GetImageCount(), 3);
}

TEST_F(ImageList, ADuplicateHasTheSameIconsAndChangesApart)
{
    ASSERT_EQ(list.AddIcon(red), 0);
    ASSERT_EQ(list.AddIcon(blue), 1);
    COLORREF redShown = ColourOf(list, 0);
    COLORREF blueShown = ColourOf(list, 1);
    ASSERT_NE(redShown, blueShown);

    CImageList copy;
    ASSERT_TRUE(list.Duplicate(copy));
    ASSERT_NE(copy.Get(), list.Get());
    EXPECT_EQ(copy.GetImageCount(), 2);
    EXPECT_EQ(ColourOf(copy, 0), redShown);
    EXPECT_EQ(ColourOf(copy, 1), blueShown);

    EXPECT_EQ(copy.ReplaceIcon(0, blue), 0);
    EXPECT_EQ(copy.AddIcon(red), 2);
    EXPECT_EQ(ColourOf(copy, 0), blueShown);
    EXPECT_EQ(ColourOf(list, 0), redShown);
    EXPECT_EQ(list.GetImageCount(), 2);
    EXPECT_EQ(copy.GetImageCount(), 3);
}

}  // namespace
