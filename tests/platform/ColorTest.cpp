#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>

#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"

namespace {

TEST(Color, RedLivesInTheLowByte)
{
    EXPECT_EQ(RGBColor(235, 98, 86), 0x5662EBu);
    EXPECT_EQ(GetRValue(0x5662EB), 235);
    EXPECT_EQ(GetGValue(0x5662EB), 98);
    EXPECT_EQ(GetBValue(0x5662EB), 86);
    EXPECT_EQ(ToQRgb(clRed), qRgb(255, 0, 0));
    EXPECT_EQ(ToQRgb(clNavy), qRgb(0, 0, 128));
    EXPECT_EQ(FromQColor(QColor(248, 242, 171)), 0xABF2F8u);
    EXPECT_EQ(FromQRgb(qRgba(1, 2, 3, 0)), RGBColor(1, 2, 3));
}

TEST(Color, PlainValuesPassThroughAndOnlyTheirLowBytesColour)
{
    EXPECT_EQ(ColorToRGB(0x808000), 0x808000u);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ToQRgb(0x12345678), qRgb(0x78, 0x56, 0x34));
}

TEST(Color, SystemColoursComeFromTheApplicationPalette)
{
    QPalette p;
    p.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
    p.setColor(QPalette::Active, QPalette::Dark, QColor(4, 5, 6));
    p.setColor(QPalette::Active, QPalette::Light, QColor(7, 8, 9));
    p.setColor(QPalette::Active, QPalette::ToolTipBase, QColor(10, 11, 12));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(13, 14, 15));
    LoadSystemColors(p);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGBColor(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGBColor(4, 5, 6));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), RGBColor(7, 8, 9));
    EXPECT_EQ(ColorToRGB(clInfoBk), RGBColor(10, 11, 12));
    EXPECT_EQ(ColorToRGB(clGrayText), RGBColor(13, 14, 15));
    EXPECT_EQ(ToQColor(clBtnFace), QColor(1, 2, 3));
    LoadSystemColors(QGuiApplication::palette());
    EXPECT_EQ(ColorToRGB(0x8000000F), FromQColor(QGuiApplication::palette().color(QPalette::Button)));
}

TEST(Color, OverriddenSystemColoursStickAndUnknownNumbersAreBlack)
{
    SetSystemColor(11, 0x123456);
    EXPECT_EQ(ColorToRGB(clInactiveBorder), 0x123456u);
    EXPECT_EQ(ColorToRGB(clSystemColor + 31), clBlack);
    EXPECT_EQ(ColorToRGB(clSystemColor + 0x100 + 15), clBlack);
    SetSystemColor(99, clRed);  // ignored
    LoadSystemColors(QGuiApplication::palette());
}

}  // namespace
