#pragma once
// A chart's display list and everything that goes with it but the drawing: the drawing attributes that adds
// capture, the visibility flags, and the sharing of one list among up to five charts. One chart owns one
// TChartData; the chart installs the callbacks through which this object asks it to paint.

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include <QString>
#include <QStringView>

#include "chart/ChartItem.h"
#include "chart/ChartTransform.h"

class QObject;

// The outcome of UseDataOf; the three refusals leave the sharing state as it was.
enum class [[nodiscard]] TShareResult : std::uint8_t;  // apart: clang-format 14 garbles it on the definition
enum class TShareResult : std::uint8_t { Done, Unchanged, RefusedSelf, RefusedHasUsers, RefusedFull };

// The text the chart shows in its information box for a refusal; empty for Done and Unchanged.
QString ShareRefusalMessage(TShareResult result);

class TChartData {
public:
    static constexpr int MaxDataUsers = 4;
    static constexpr int ClassCount = 256;
    static constexpr std::int32_t DefaultAllocSize = 1000;
    static constexpr std::int32_t MaxAllocSize = 1000000;
    static constexpr std::int32_t CurrentLayer = 1;  // items always go to layer 1

    // host: the chart this list belongs to, handed back by DataOwner()->Host() so the chart can name its owner.
    explicit TChartData(QObject* host = nullptr);
    // Leaves the owner's users; this chart's own users each keep a copy of the items and have no owner.
    ~TChartData();
    TChartData(const TChartData&) = delete;
    TChartData& operator=(const TChartData&) = delete;

    QObject* Host() const { return host_; }

    // Installed by the chart. RepaintIfAuto repaints the chart if it repaints now (AutoRedraw); it is how the
    // members of a sharing group repaint one another. PaintPlotBackground redraws the plot background into the
    // plot bitmap only, so that the off-screen image loses the cleared items.
    std::function<void()> RepaintIfAuto;
    std::function<void()> PaintPlotBackground;

    // The list this chart shows. Charts that share data hold the same list object, so an add or a clear made
    // through any of them is seen by all at once: there is no array reference or count to hand on to the owner
    // and the users afterwards, and ShowItems has nothing to sync before it paints.
    const ChartItemList& Items() const { return *list_; }
    const SharedChartItems& SharedItems() const { return list_; }

    // Inline: a scatter view adds a mark per point on every update.
    void AddMark(std::uint8_t markKind, double x, double y)
    {
        ChartItem& item = AppendItem();
        StartItem(item, TChartItemKind::Mark, x, y);
        item.x2 = item.y2 = 0;
        item.FillColor = 0;
        item.Size = 0;
        item.Text = 0;
        item.MarkKind = markKind;
    }
    void AddRectangle(double x1, double y1, double x2, double y2);
    // Keeps the first MaxChartTextLength characters (code points) of text, stored as UTF-8.
    void AddText(std::int32_t size, QStringView text, double x, double y);
    // Empties the list (length 0; the storage stays for reuse) after the plot background was repainted.
    void ClearItems();

    // The array grows by this many entries when full; values outside 1..1000000 are ignored.
    std::int32_t AllocSize() const { return allocSize_; }
    void SetAllocSize(std::int32_t value);

    // Drawing attributes: stored without a repaint, taken into each item when it is added.
    TColor DataColor() const { return dataColor_; }
    void SetDataColor(TColor value) { dataColor_ = value; }
    TColor FillColor() const { return fillColor_; }
    void SetFillColor(TColor value) { fillColor_ = value; }
    TPenStyle PenStyle() const { return penStyle_; }
    void SetPenStyle(TPenStyle value) { penStyle_ = value; }
    std::uint8_t LineWidth() const { return lineWidth_; }
    void SetLineWidth(std::uint8_t value) { lineWidth_ = value; }
    std::uint8_t ClassDefault() const { return classDefault_; }
    void SetClassDefault(std::uint8_t value);  // 255 is ignored

    // The renderer skips items whose class or layer (1..16) is hidden; all are shown from the start.
    bool ClassVisible(std::uint8_t itemClass) const { return classVisible_[itemClass]; }
    bool LayerVisible(std::int32_t layer) const
    {
        return layer >= 1 && layer <= ChartLayerCount && layerVisible_[layer - 1];
    }

    // The same flags as the renderer reads them (layer 1 first).
    std::span<const bool, ClassCount> ClassVisibility() const { return classVisible_; }
    std::span<const bool, ChartLayerCount> LayerVisibility() const { return layerVisible_; }

    // Set at creation; the chart clears it without painting when its window is created. Returns whether the
    // chart must run its full paint now: only when the flag changed to clear.
    bool UpdateSuspended() const { return updateSuspended_; }
    bool SetUpdateSuspended(bool suspended);
    void ResumeUpdatesWithoutPaint() { updateSuspended_ = false; }

    // Data sharing. data == nullptr stops using foreign data: this chart then keeps a copy of the items it
    // shows. A chart whose data is itself shared uses its owner's data instead (sharing never chains).
    TShareResult UseDataOf(TChartData* data);
    TChartData* DataOwner() const { return owner_; }
    int DataUserCount() const { return userCount_; }
    TChartData* DataUser(int slot) const { return users_[slot]; }

    // The second step of ShowItems: repaints the owner, then the owner's users, then this chart's own users.
    void RepaintSharingCharts() const;

private:
    // The entry at Count, the list grown first if it is full. Every add writes all the fields of its entry (those
    // its kind does not use as zero), since a cleared list hands out its old entries again.
    ChartItem& AppendItem()
    {
        ChartItemList& list = *list_;
        if (std::size_t(list.Count) >= list.Items.size())
            GrowList();
        return list.Items[std::size_t(list.Count++)];
    }
    void GrowList();
    void StartItem(ChartItem& item, TChartItemKind kind, double x, double y) const
    {
        item.Kind = kind;
        item.x1 = x;
        item.y1 = y;
        item.Layer = CurrentLayer;
        item.Class = classDefault_;
        item.Color = dataColor_;
        item.PenStyle = penStyle_;
        item.LineWidth = lineWidth_;
    }
    void LeaveOwner();
    void RemoveUser(TChartData* user);
    void KeepOwnCopy();
    static void Repaint(const TChartData* chart);

    QObject* host_;
    SharedChartItems list_;
    std::int32_t allocSize_ = DefaultAllocSize;

    TColor dataColor_ = 0;
    TColor fillColor_ = 0xC0C0C0;
    TPenStyle penStyle_ = psSolid;
    std::uint8_t lineWidth_ = 1;
    std::uint8_t classDefault_ = 0;

    std::array<bool, ClassCount> classVisible_;
    std::array<bool, ChartLayerCount> layerVisible_;
    bool updateSuspended_ = true;

    TChartData* owner_ = nullptr;
    std::array<TChartData*, MaxDataUsers> users_ = {};
    int userCount_ = 0;
};
