// The trees' folder, file and registry value icons: each loads at 16 by 16,
// the fill of an entry found in one snapshot only is red (first) or cyan
// (second) where the plain one is yellow or white, and a value's tag carries
// the letters or digits of its kind in their colour.
#include "res/resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

enum class Colour { Background, Red, Cyan, Yellow, White, DarkRed, Blue, Green, Other };

const COLORREF kBackground = RGB(0, 0, 128);

Colour Classify(uint32_t bgrx)
{
    int r = (bgrx >> 16) & 0xFF, g = (bgrx >> 8) & 0xFF, b = bgrx & 0xFF;
    auto high = [](int v) { return v >= 200; };
    auto low = [](int v) { return v <= 60; };
    if (r == GetRValue(kBackground) && g == GetGValue(kBackground) && b == GetBValue(kBackground))
        return Colour::Background;
    if (high(r) && low(g) && low(b))
        return Colour::Red;
    if (low(r) && high(g) && high(b))
        return Colour::Cyan;
    if (high(r) && high(g) && low(b))
        return Colour::Yellow;
    if (high(r) && high(g) && high(b))
        return Colour::White;
    auto half = [](int v) { return v >= 100 && v <= 160; };
    if (half(r) && low(g) && low(b))
        return Colour::DarkRed;
    if (low(r) && low(g) && high(b))
        return Colour::Blue;
    if (low(r) && half(g) && low(b))
        return Colour::Green;
    return Colour::Other;
}

// Draws icon over the background colour; returns the colours of two pixels.
bool DrawAndRead(HICON icon, POINT a, POINT b, Colour& atA, Colour& atB)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc || !bitmap) {
        if (dc)
            ::DeleteDC(dc);
        return false;
    }
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all{0, 0, 16, 16};
    HBRUSH brush = ::CreateSolidBrush(kBackground);
    ::FillRect(dc, &all, brush);
    ::DeleteObject(brush);
    bool drawn = ::DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL) != FALSE;
    ::GdiFlush();
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    atA = Classify(pixels[a.y * 16 + a.x]);
    atB = Classify(pixels[b.y * 16 + b.x]);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return drawn;
}

}  // namespace

TEST(TreeIcons, EachLoadsAtSixteenAndItsFillTellsWhereTheEntryIs)
{
    // A pixel of the fill (where a checker has its colour), its neighbour to
    // the right (white in a checker) and the top right corner (transparent).
    const POINT folder{4, 8}, openFolder{6, 10}, document{4, 6}, textTag{5, 3}, binaryTag{5, 7}, numberTag{5, 3};
    const struct {
        int id;
        POINT fill;
        Colour colour;
        Colour beside;
    } icons[] = {
        {IDI_FOLDER_CLOSED, folder, Colour::Yellow, Colour::Yellow},
        {IDI_FOLDER_OPEN, openFolder, Colour::Yellow, Colour::Yellow},
        {IDI_FOLDER_CLOSED_LEFT, folder, Colour::Red, Colour::White},
        {IDI_FOLDER_OPEN_LEFT, openFolder, Colour::Red, Colour::White},
        {IDI_FOLDER_CLOSED_RIGHT, folder, Colour::Cyan, Colour::White},
        {IDI_FOLDER_OPEN_RIGHT, openFolder, Colour::Cyan, Colour::White},
        {IDI_DOCUMENT, document, Colour::White, Colour::White},
        {IDI_DOCUMENT_LEFT, document, Colour::Red, Colour::White},
        {IDI_DOCUMENT_RIGHT, document, Colour::Cyan, Colour::White},
        {IDI_VALUE_TEXT, textTag, Colour::White, Colour::White},
        {IDI_VALUE_TEXT_LEFT, textTag, Colour::Red, Colour::White},
        {IDI_VALUE_TEXT_RIGHT, textTag, Colour::Cyan, Colour::White},
        {IDI_VALUE_BINARY, binaryTag, Colour::White, Colour::White},
        {IDI_VALUE_BINARY_LEFT, binaryTag, Colour::Red, Colour::White},
        {IDI_VALUE_BINARY_RIGHT, binaryTag, Colour::Cyan, Colour::White},
        {IDI_VALUE_NUMBER, numberTag, Colour::White, Colour::White},
        {IDI_VALUE_NUMBER_LEFT, numberTag, Colour::Red, Colour::White},
        {IDI_VALUE_NUMBER_RIGHT, numberTag, Colour::Cyan, Colour::White},
    };
    for (const auto& icon : icons) {
        SCOPED_TRACE(icon.id);
        HICON h = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icon.id),
                                                  IMAGE_ICON, 16, 16, 0));
        ASSERT_NE(h, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(h, &info));
        BITMAP colour{};
        ASSERT_NE(info.hbmColor, nullptr);
        ASSERT_TRUE(::GetObjectA(info.hbmColor, sizeof colour, &colour));
        EXPECT_EQ(colour.bmWidth, 16);
        EXPECT_EQ(colour.bmHeight, 16);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);

        Colour atFill, beside, corner, unused;
        ASSERT_TRUE(DrawAndRead(h, icon.fill, POINT{icon.fill.x + 1, icon.fill.y}, atFill, beside));
        ASSERT_TRUE(DrawAndRead(h, POINT{15, 0}, POINT{15, 0}, corner, unused));
        EXPECT_EQ(atFill, icon.colour);
        EXPECT_EQ(beside, icon.beside);
        EXPECT_EQ(corner, Colour::Background);
        ::DestroyIcon(h);
    }
}

TEST(TreeIcons, AValuesTagCarriesTheGlyphsOfItsKindInTheirColour)
{
    // A pixel of the first glyph ("a", "0", "1") in each variant.
    const struct {
        int id;
        POINT glyph;
        Colour colour;
    } tags[] = {
        {IDI_VALUE_TEXT, {6, 6}, Colour::DarkRed},    {IDI_VALUE_TEXT_LEFT, {6, 6}, Colour::DarkRed},
        {IDI_VALUE_TEXT_RIGHT, {6, 6}, Colour::DarkRed}, {IDI_VALUE_BINARY, {5, 2}, Colour::Blue},
        {IDI_VALUE_BINARY_LEFT, {5, 2}, Colour::Blue}, {IDI_VALUE_BINARY_RIGHT, {5, 2}, Colour::Blue},
        {IDI_VALUE_NUMBER, {6, 4}, Colour::Green},     {IDI_VALUE_NUMBER_LEFT, {6, 4}, Colour::Green},
        {IDI_VALUE_NUMBER_RIGHT, {6, 4}, Colour::Green},
    };
    for (const auto& tag : tags) {
        SCOPED_TRACE(tag.id);
        HICON h = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(tag.id),
                                                  IMAGE_ICON, 16, 16, 0));
        ASSERT_NE(h, nullptr);
        Colour atGlyph, unused;
        ASSERT_TRUE(DrawAndRead(h, tag.glyph, tag.glyph, atGlyph, unused));
        EXPECT_EQ(atGlyph, tag.colour);
        ::DestroyIcon(h);
    }
}
