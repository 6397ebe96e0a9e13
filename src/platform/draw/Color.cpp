#include "platform/draw/Color.h"

#include <array>

#include <QGuiApplication>
#include <QPalette>

#include "platform/draw/GuiApplication.h"

namespace {

struct SystemColorTable {
    // the classic desktop scheme, used until a palette is known
    std::array<TColor, SystemColorCount> rgb{
        RGBColor(192, 192, 192),
        RGBColor(58, 110, 165),
        RGBColor(10, 36, 106),
        RGBColor(128, 128, 128),
        RGBColor(212, 208, 200),
        RGBColor(255, 255, 255),
        RGBColor(0, 0, 0),
        RGBColor(0, 0, 0),
        RGBColor(0, 0, 0),
        RGBColor(255, 255, 255),
        RGBColor(212, 208, 200),
        RGBColor(212, 208, 200),
        RGBColor(128, 128, 128),
        RGBColor(10, 36, 106),
        RGBColor(255, 255, 255),
        RGBColor(212, 208, 200),
        RGBColor(128, 128, 128),
        RGBColor(128, 128, 128),
        RGBColor(0, 0, 0),
        RGBColor(212, 208, 200),
        RGBColor(255, 255, 255),
        RGBColor(64, 64, 64),
        RGBColor(212, 208, 200),
        RGBColor(0, 0, 0),
        RGBColor(255, 255, 225),
        RGBColor(181, 181, 181),
        RGBColor(0, 0, 128),
        RGBColor(166, 202, 240),
        RGBColor(192, 192, 192),
        RGBColor(49, 106, 197),
        RGBColor(236, 233, 216),
    };
    bool fromPalette = false;
};

SystemColorTable& Table()
{
    static SystemColorTable table;
    return table;
}

void EnsurePaletteLoaded()
{
    SystemColorTable& t = Table();
    if (!t.fromPalette && HasGuiApplication())
        LoadSystemColors(QGuiApplication::palette());
}

}  // namespace

void LoadSystemColors(const QPalette& p)
{
    SystemColorTable& t = Table();
    auto set = [&](TColor which, QPalette::ColorRole role, QPalette::ColorGroup group = QPalette::Active) {
        t.rgb[which - clSystemColor] = FromQColor(p.color(group, role));
    };
    set(clActiveCaption, QPalette::Highlight);
    set(clMenu, QPalette::Window);
    set(clWindow, QPalette::Base);
    set(clMenuText, QPalette::WindowText);
    set(clWindowText, QPalette::Text);
    set(clCaptionText, QPalette::HighlightedText);
    set(clActiveBorder, QPalette::Window);
    set(clInactiveBorder, QPalette::Window);
    set(clAppWorkSpace, QPalette::Mid);
    set(clHighlight, QPalette::Highlight);
    set(clHighlightText, QPalette::HighlightedText);
    set(clBtnFace, QPalette::Button);
    set(clBtnShadow, QPalette::Dark);
    set(clGrayText, QPalette::Text, QPalette::Disabled);
    set(clBtnText, QPalette::ButtonText);
    set(clBtnHighlight, QPalette::Light);
    set(cl3DDkShadow, QPalette::Shadow);
    set(cl3DLight, QPalette::Midlight);
    set(clInfoText, QPalette::ToolTipText);
    set(clInfoBk, QPalette::ToolTipBase);
    set(clHotLight, QPalette::Link);
    set(clMenuHighlight, QPalette::Highlight);
    set(clMenuBar, QPalette::Window);
    t.fromPalette = true;
}

void SetSystemColor(int index, TColor rgb)
{
    if (index < 0 || index >= SystemColorCount)
        return;
    EnsurePaletteLoaded();
    Table().rgb[std::size_t(index)] = rgb & 0xFFFFFF;
}

TColor ColorToRGB(TColor color)
{
    if (!IsSystemColor(color))
        return color;
    const TColor index = color & 0xFF;
    if (index >= SystemColorCount || (color & 0x7FFFFF00) != 0)
        return clBlack;
    EnsurePaletteLoaded();
    return Table().rgb[index];
}

QRgb ToQRgb(TColor color)
{
    const TColor c = ColorToRGB(color);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

QColor ToQColor(TColor color)
{
    return QColor(ToQRgb(color));
}

TColor FromQRgb(QRgb rgb)
{
    return RGBColor(std::uint8_t(qRed(rgb)), std::uint8_t(qGreen(rgb)), std::uint8_t(qBlue(rgb)));
}

TColor FromQColor(const QColor& color)
{
    return FromQRgb(color.rgb());
}
