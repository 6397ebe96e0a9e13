#include "chart/ChartData.h"

#include <algorithm>
#include <iterator>

#include <QChar>

namespace {

std::size_t EncodeUtf8(char32_t c, char* out)
{
    if (c < 0x80) {
        out[0] = char(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = char(0xC0 | (c >> 6));
        out[1] = char(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = char(0xE0 | (c >> 12));
        out[1] = char(0x80 | ((c >> 6) & 0x3F));
        out[2] = char(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | (c >> 18));
    out[1] = char(0x80 | ((c >> 12) & 0x3F));
    out[2] = char(0x80 | ((c >> 6) & 0x3F));
    out[3] = char(0x80 | (c & 0x3F));
    return 4;
}

// The first MaxChartTextLength code points of text as zero-terminated UTF-8, written in place so that adding a
// text allocates nothing. A surrogate pair is one character; an unpaired surrogate becomes U+FFFD, as
// QString::toUtf8 makes it.
void StoreCutText(QStringView text, ChartItemText& text8)
{
    std::size_t length = 0;
    qsizetype i = 0;
    for (int characters = 0; characters < MaxChartTextLength && i < text.size(); ++characters) {
        char32_t c = text[i++].unicode();
        if (QChar::isHighSurrogate(c) && i < text.size() && text[i].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[i++].unicode());
        else if (QChar::isSurrogate(c))
            c = QChar::ReplacementCharacter;
        length += EncodeUtf8(c, text8.data() + length);
    }
    std::fill(text8.begin() + std::ptrdiff_t(length), text8.end(), '\0');
}

}  // namespace

QString ShareRefusalMessage(TShareResult result)
{
    switch (result) {
    case TShareResult::RefusedSelf: return QStringLiteral("RChart: Cannot share data with myself");
    case TShareResult::RefusedHasUsers:
        return QStringLiteral("RChart: Cannot use foreign data. Other RCharts are using my own data.");
    case TShareResult::RefusedFull: return QStringLiteral("RChart: Max. number of data shares exceeded");
    case TShareResult::Done:
    case TShareResult::Unchanged: break;
    }
    return {};
}

TChartData::TChartData(QObject* host) : host_(host), list_(std::make_shared<ChartItemList>())
{
    classVisible_.fill(true);
    layerVisible_.fill(true);
}

TChartData::~TChartData()
{
    if (owner_)
        owner_->RemoveUser(this);
    // Let go of the list first: the last user left behind then keeps it without a copy.
    list_.reset();
    for (int slot = 0; slot < userCount_; ++slot) {
        users_[slot]->owner_ = nullptr;
        users_[slot]->KeepOwnCopy();
    }
}

// The list object is the one the whole sharing group holds, so growing it here grows it for every chart of the
// group: an add through a chart with a small AllocSize never writes past the array another chart grew.
void TChartData::GrowList()
{
    list_->Items.grow(std::size_t(allocSize_));
}

void TChartData::AddRectangle(double x1, double y1, double x2, double y2)
{
    ChartItem& item = AppendItem();
    StartItem(item, TChartItemKind::Rectangle, x1, y1);
    item.x2 = x2;
    item.y2 = y2;
    item.FillColor = fillColor_;
    item.Size = 0;
    item.Text = 0;
    item.MarkKind = 0;
}

void TChartData::AddText(std::int32_t size, QStringView text, double x, double y)
{
    ChartItem& item = AppendItem();
    StartItem(item, TChartItemKind::Text, x, y);
    item.x2 = item.y2 = 0;
    item.FillColor = 0;
    item.Size = size;
    std::vector<ChartItemText>& texts = list_->Texts;
    item.Text = std::uint32_t(texts.size());
    StoreCutText(text, texts.emplace_back());
    item.MarkKind = 0;
}

void TChartData::ClearItems()
{
    if (PaintPlotBackground)
        PaintPlotBackground();
    list_->Items.clear();  // keeps the storage: the next view fills it again without allocating
    list_->Count = 0;
    list_->Texts.clear();
}

void TChartData::SetAllocSize(std::int32_t value)
{
    if (value >= 1 && value <= MaxAllocSize)
        allocSize_ = value;
}

void TChartData::SetClassDefault(std::uint8_t value)
{
    if (value != 255)
        classDefault_ = value;
}

bool TChartData::SetUpdateSuspended(bool suspended)
{
    if (suspended == updateSuspended_)
        return false;
    updateSuspended_ = suspended;
    return !suspended;
}

TShareResult TChartData::UseDataOf(TChartData* data)
{
    if (data == this)
        return TShareResult::RefusedSelf;
    if (userCount_ > 0)
        return TShareResult::RefusedHasUsers;
    if (data == owner_)
        return TShareResult::Unchanged;
    if (!data) {
        LeaveOwner();
        Repaint(this);
        return TShareResult::Done;
    }
    TChartData* target = data->owner_ ? data->owner_ : data;
    if (target->userCount_ == MaxDataUsers)
        return TShareResult::RefusedFull;
    if (owner_)
        owner_->RemoveUser(this);  // no copy: the target's list replaces ours at once
    owner_ = target;
    list_ = target->list_;
    target->users_[std::size_t(target->userCount_++)] = this;
    Repaint(this);
    return TShareResult::Done;
}

void TChartData::RepaintSharingCharts() const
{
    if (owner_) {
        Repaint(owner_);
        for (int slot = 0; slot < owner_->userCount_; ++slot)
            Repaint(owner_->users_[std::size_t(slot)]);
    }
    for (int slot = 0; slot < userCount_; ++slot)
        Repaint(users_[std::size_t(slot)]);
}

void TChartData::LeaveOwner()
{
    owner_->RemoveUser(this);
    owner_ = nullptr;
    KeepOwnCopy();
}

void TChartData::RemoveUser(TChartData* user)
{
    const auto end = users_.begin() + userCount_;
    const auto found = std::find(users_.begin(), end, user);
    if (found == end)
        return;
    std::move(found + 1, end, found);
    users_[std::size_t(--userCount_)] = nullptr;
}

// A chart that leaves a sharing group goes on showing the same items, but from a list of its own: adding to the
// group's list through it would overwrite items the group added after it left.
void TChartData::KeepOwnCopy()
{
    if (list_.use_count() > 1)
        list_ = std::make_shared<ChartItemList>(*list_);
}

void TChartData::Repaint(const TChartData* chart)
{
    if (chart->RepaintIfAuto)
        chart->RepaintIfAuto();
}
