#include "chart/StandardLayouts.h"

#include <algorithm>
#include <cstddef>

namespace {

using AxisX = LayoutAxisValues<TScaleLocationHoriz>;
using AxisY = LayoutAxisValues<TScaleLocationVert>;

constexpr AxisX kHiddenX{false, slBottom, 0, 10, 100, taCenter, uaSclCenter};
constexpr AxisY kHiddenY{false, slLeft, 0, 10, 100, taRightJustify, uaSclTopLft};

// x of layer 1 below the plot area, its caption centred under the scale
constexpr AxisX kBottomX{true, slBottom, 0, 0, 22, taCenter, uaSclCenter};
// x of layers 1 and 2 where there are two x scales: captions at the left end
constexpr AxisX kBottomXLeftCaption{true, slBottom, 0, -20, 7, taRightJustify, uaSclTopLft};

constexpr AxisY LeftY(int pos)
{
    return {true, slLeft, pos, 0, -23, taRightJustify, uaSclTopLft};
}

constexpr LayoutChartValues LeftCaptionChart(int marginLeft, int marginTop, int marginBottom)
{
    return {marginLeft, 20, marginTop, marginBottom, 0, -16, taRightJustify, cahChartRight, cavChartTop};
}

// one row per TrcLayout, in its order
constexpr std::array<StandardLayoutValues, 7> kLayouts{{
    // rcl_X1Bottom_Y1Left
    {LeftCaptionChart(50, 20, 40), {kBottomX, kHiddenX, kHiddenX, kHiddenX},
        {AxisY{true, slLeft, 0, 0, -16, taLeftJustify, uaSclTopLft}, kHiddenY, kHiddenY, kHiddenY}},
    // rcl_X1Bottom_Y2Left
    {LeftCaptionChart(100, 24, 40), {kBottomX, kHiddenX, kHiddenX, kHiddenX},
        {LeftY(0), LeftY(50), kHiddenY, kHiddenY}},
    // rcl_X1Bottom_Y3Left
    {LeftCaptionChart(150, 24, 40), {kBottomX, kHiddenX, kHiddenX, kHiddenX},
        {LeftY(0), LeftY(50), LeftY(100), kHiddenY}},
    // rcl_X1Bottom_Y4Left
    {LeftCaptionChart(200, 24, 40), {kBottomX, kHiddenX, kHiddenX, kHiddenX},
        {LeftY(0), LeftY(50), LeftY(100), LeftY(150)}},
    // rcl_X1Bottom_Y2Both
    {LayoutChartValues{50, 50, 24, 40, 0, -20, taCenter, cahChartCenter, cavChartTop},
        {kBottomX, kHiddenX, kHiddenX, kHiddenX},
        {LeftY(0), AxisY{true, slRight, 0, 0, -23, taLeftJustify, uaSclTopLft}, kHiddenY, kHiddenY}},
    // rcl_X2Bottom_Y2Left
    {LeftCaptionChart(100, 24, 70),
        {kBottomXLeftCaption, AxisX{true, slBottom, 30, -20, 7, taRightJustify, uaSclTopLft}, kHiddenX, kHiddenX},
        {LeftY(0), LeftY(50), kHiddenY, kHiddenY}},
    // rcl_X2Both_Y2Both
    {LayoutChartValues{50, 50, 48, 40, 0, -46, taCenter, cahChartCenter, cavChartTop},
        {kBottomXLeftCaption, AxisX{true, slTop, 0, -20, -24, taRightJustify, uaSclTopLft}, kHiddenX, kHiddenX},
        {AxisY{true, slLeft, 0, 0, -40, taRightJustify, uaSclTopLft},
            AxisY{true, slRight, 0, 0, -40, taLeftJustify, uaSclTopLft},
            AxisY{false, slLeft, 0, 0, -23, taRightJustify, uaSclTopLft},
            AxisY{false, slLeft, 0, 0, -23, taRightJustify, uaSclTopLft}}},
}};

template <typename Props, typename Location> void ApplyAxis(Props& props, const LayoutAxisValues<Location>& values)
{
    props.SetScaleLocation(values.ScaleLocation);
    props.SetCaptionPosX(values.CaptionPosX);
    props.SetCaptionPosY(values.CaptionPosY);
    props.SetCaptionAlignment(values.CaptionAlignment);
    props.SetCaptionAnchor(values.CaptionAnchor);
    props.SetScalePos(values.ScalePos);
    props.SetVisible(values.Visible);
}

}  // namespace

const StandardLayoutValues& StandardLayoutOf(TrcLayout layout)
{
    const auto row = static_cast<std::size_t>(layout);
    return kLayouts[row < kLayouts.size() ? row : 0];
}

void ApplyLayoutToAxes(
    TrcLayout layout, std::span<TScalePropsHoriz* const> xAxes, std::span<TScalePropsVert* const> yAxes)
{
    const StandardLayoutValues& values = StandardLayoutOf(layout);
    const std::size_t layers = std::min(xAxes.size(), yAxes.size());
    for (std::size_t i = 0; i < layers && i < LayoutLayerCount; ++i) {
        ApplyAxis(*xAxes[i], values.X[i]);
        ApplyAxis(*yAxes[i], values.Y[i]);
    }
    for (std::size_t i = LayoutLayerCount; i < layers; ++i) {
        xAxes[i]->SetVisible(false);
        yAxes[i]->SetVisible(false);
    }
}
