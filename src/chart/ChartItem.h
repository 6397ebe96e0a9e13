#pragma once
// One entry of a chart's display list, and the list that charts of a sharing group hold together.

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"

enum class TChartItemKind : std::uint8_t { Mark = 1, Rectangle = 4, Text = 7 };

// Text items keep at most this many characters (whole characters, never a cut UTF-8 sequence).
constexpr int MaxChartTextLength = 15;

// A text item's characters: UTF-8, up to 15 characters, zero-terminated and padded with zeros.
using ChartItemText = std::array<char, MaxChartTextLength * 4 + 1>;

// 64 bytes, one cache line: a scatter view writes and reads every field of its 100 000 marks on each update,
// so the texts that few items have live beside the array, not in it.
struct ChartItem {
    double x1 = 0, y1 = 0;   // anchor of a text or mark, first corner of a rectangle (world units)
    double x2 = 0, y2 = 0;   // second corner of a rectangle
    TColor Color = 0;        // DataColor when added: outline, mark and text colour
    TColor FillColor = 0;    // FillColor when added (rectangles)
    std::int32_t Size = 0;   // font size in points (texts)
    std::uint32_t Text = 0;  // texts: index of the characters in the list's Texts
    TPenStyle PenStyle = psSolid;
    std::uint8_t LineWidth = 0;
    std::uint8_t Class = 0;
    TChartItemKind Kind = TChartItemKind::Mark;
    std::uint8_t Layer = 1;
    std::uint8_t MarkKind = 0;  // shape code (marks)
};
static_assert(sizeof(ChartItem) <= 64);

// The growable array of a display list. Its length grows by a step when the list is full and drops to 0 on a
// clear, but the storage behind it stays: a view that refills a cleared list allocates nothing and does not
// zero entries it is about to write whole (an add writes every field of its entry). Storage that is new is
// zero-filled.
class ChartItemArray {
public:
    std::size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }
    ChartItem& operator[](std::size_t i) { return storage_[i]; }
    const ChartItem& operator[](std::size_t i) const { return storage_[i]; }
    const ChartItem& at(std::size_t i) const
    {
        if (i >= length_)
            throw std::out_of_range("chart item index");
        return storage_[i];
    }
    ChartItem& back() { return storage_[length_ - 1]; }

    // Lengthens the array by n entries.
    void grow(std::size_t n)
    {
        length_ += n;
        if (storage_.size() < length_)
            storage_.resize(length_);
    }
    void push_back(const ChartItem& item)
    {
        grow(1);
        back() = item;
    }
    // Length 0; the storage is kept for the next fill.
    void clear() { length_ = 0; }

private:
    std::vector<ChartItem> storage_;
    std::size_t length_ = 0;
};

// The display list: the array grows by the owner's step when full and is reused after a clear, so the steady
// state allocates nothing. Charts that share data hold one shared_ptr to the same list.
struct ChartItemList {
    ChartItemArray Items;  // Items.size() is the array's length; only the first Count are valid
    std::int32_t Count = 0;
    std::vector<ChartItemText> Texts;  // the characters of the text items, in the order they were added

    // The characters of a text item; empty for other items.
    const char* TextOf(const ChartItem& item) const
    {
        return item.Kind == TChartItemKind::Text && item.Text < Texts.size() ? Texts[item.Text].data() : "";
    }
};
using SharedChartItems = std::shared_ptr<ChartItemList>;
