#include "numlab/Quarn_NumLab.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include <QMouseEvent>
#include <QPainter>

#include "platform/draw/Bitmap.h"
#include "platform/draw/Canvas.h"

namespace {

// The text whose height decides the vertical position of every text of the control.
const QString kHeightProbe = QString::fromUtf8("(8g]}\u00DC\u00C4\u00A7");

// The frame lines of the box around the value, after its outline.
struct BoxLines {
    TColor topLeft;
    TColor bottomRight;
};

// None for the flat styles (fsNone, fsSimple) and for unknown ones.
std::optional<BoxLines> BoxLinesOf(TFrameStyle style, const TFrameColors& c)
{
    switch (style) {
    case fsLowered: return BoxLines{c.frame, c.highlight};
    case fsRaised: return BoxLines{c.highlight, c.frame};
    case fsEmbossed: return BoxLines{c.shadow, c.shadow};
    case fsEngraved: return BoxLines{c.highlight, c.highlight};
    default: return std::nullopt;
    }
}

QString ClassNameOf(const QObject* object)
{
    return object ? QString::fromLatin1(object->metaObject()->className()) : QStringLiteral("nil");
}

}  // namespace

TNumLab::TNumLab(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    resize(160, 28);
    Paint();
}

TNumLab::~TNumLab() = default;

template <typename T, typename V> void TNumLab::Store(T& field, V&& value)
{
    StoreSetting(field, std::forward<V>(value), Unchanged::Skip, [this] { Paint(); });
}

void TNumLab::SetLeftSpace(int value)
{
    if (value < 0)
        return;
    Store(display_.leftSpace, std::min(value, width()));
}

void TNumLab::SetEmpty(bool value)
{
    Store(display_.empty, value);
}
void TNumLab::SetLabelWidth(int value)
{
    Store(display_.labelWidth, value);
}

void TNumLab::SetPrecision(int value)
{
    if (value < 0)
        return;
    Store(display_.text.Precision, std::min(value, MaxNumLabPrecision));
}

void TNumLab::SetComma(bool value)
{
    Store(format_.Comma, value);
}
void TNumLab::SetForcePlusSign(bool value)
{
    Store(format_.ForcePlusSign, value);
}
void TNumLab::SetLeftText(const QString& value)
{
    Store(display_.leftText, value);
}
void TNumLab::SetRightText(const QString& value)
{
    Store(display_.rightText, value);
}
void TNumLab::SetFrameStyle(TFrameStyle value)
{
    Store(display_.frameStyle, value);
}
void TNumLab::SetStateText(const QString& value)
{
    Store(display_.text.StateText, value);
}
void TNumLab::SetAlignment(TAlignment value)
{
    Store(display_.alignment, value);
}
void TNumLab::SetLeftTextAlignment(TAlignment value)
{
    Store(display_.leftTextAlignment, value);
}
void TNumLab::SetRightTextAlignment(TAlignment value)
{
    Store(display_.rightTextAlignment, value);
}
void TNumLab::SetOverflowIndicator(const QString& value)
{
    Store(display_.text.OverflowIndicator, value);
}

void TNumLab::SetValue(double value)
{
    if (std::isnan(value))
        return;
    Store(display_.value, value);
}

void TNumLab::SetColorLabBakG(TColor value)
{
    Store(display_.colorLabBakG, value);
}
void TNumLab::SetColorLabText(TColor value)
{
    Store(display_.colorLabText, value);
}
void TNumLab::SetColorOutBakG(TColor value)
{
    Store(display_.colorOutBakG, value);
}
void TNumLab::SetColorOutText(TColor value)
{
    Store(display_.colorOutText, value);
}

void TNumLab::SetColorScheme(TColorScheme value)
{
    StoreSetting(display_.colorScheme, value, Unchanged::Skip, [this] {
        display_.frameColors = FrameColorsOf(display_.colorScheme);
        Paint();
    });
}

void TNumLab::SetDisplayType(TDisplay value)
{
    Store(display_.text.DisplayType, value);
}
void TNumLab::SetDTFormat(const QString& value)
{
    Store(format_.DTFormat, value);
}

void TNumLab::Assign(const QObject* source)
{
    const auto* other = qobject_cast<const TNumLab*>(source);
    if (!other)
        throw EQuarnError("Cannot assign a " + ClassNameOf(source).toStdString() + " to a TNumLab");
    display_ = other->display_;
    Paint();
}

void TNumLab::AssignTo(QObject* destination) const
{
    auto* target = qobject_cast<TNumLab*>(destination);
    if (!target || !metaObject()->inherits(destination->metaObject()))
        throw EQuarnError("Cannot assign a TNumLab to a " + ClassNameOf(destination).toStdString());
    target->Assign(this);
}

void TNumLab::MouseMove(Qt::KeyboardModifiers shift, int x, int y)
{
    mouseArea_ = 0;
    if (x > display_.leftSpace)
        mouseArea_ = 1;
    if (x > display_.leftSpace + display_.labelWidth)
        mouseArea_ = 2;
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

bool TNumLab::VisibleFlag() const
{
    return !(testAttribute(Qt::WA_WState_ExplicitShowHide) && testAttribute(Qt::WA_WState_Hidden));
}

void TNumLab::Paint()
{
    if (!VisibleFlag())
        return;
    const Display& d = display_;
    TBitmap bitmap(width(), height(), TDeviceScale::Of(devicePixelRatioF()));
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font = TFont::FromQFont(font());
    canvas.Pen.Color = d.colorOutBakG;
    canvas.Brush.Color = d.colorOutBakG;
    canvas.Brush.Style = bsSolid;
    canvas.Rectangle(0, 0, width(), height());

    const int yText = (height() - canvas.TextHeight(kHeightProbe)) / 2;
    DrawSideTexts(canvas, yText);
    DrawBox(canvas);
    displayedText_.clear();
    if (!d.empty)
        DrawValue(canvas, yText);

    image_ = bitmap.Image();
    update();
}

void TNumLab::DrawSideTexts(TCanvas& canvas, int yText) const
{
    const Display& d = display_;
    const int l = d.leftSpace;
    const int r = d.leftSpace + d.labelWidth;
    canvas.Font.SetColor(d.colorOutText);
    if (!d.leftText.isEmpty()) {
        const int tw = canvas.TextWidth(d.leftText);
        const int x = d.leftTextAlignment == taLeftJustify ? 7
            : d.leftTextAlignment == taRightJustify        ? l - tw - 5
                                                           : (l - tw) / 2;
        canvas.TextOut(x, yText, d.leftText);
    }
    if (!d.rightText.isEmpty()) {
        const int w = width();
        const int tw = canvas.TextWidth(d.rightText);
        const int x = d.rightTextAlignment == taLeftJustify ? r + 7
            : d.rightTextAlignment == taRightJustify        ? w - tw - 6
                                                            : r + 1 + (w - l - d.labelWidth - tw) / 2;
        canvas.TextOut(x, yText, d.rightText);
    }
}

void TNumLab::DrawBox(TCanvas& canvas) const
{
    const Display& d = display_;
    const int l = d.leftSpace;
    const int r = d.leftSpace + d.labelWidth;
    const int h = height();
    canvas.Pen.Color = d.frameStyle == fsNone ? d.colorLabBakG
        : d.frameStyle == fsEmbossed          ? d.frameColors.highlight
                                              : d.frameColors.shadow;
    canvas.Brush.Color = d.colorLabBakG;
    const std::optional<BoxLines> lines = BoxLinesOf(d.frameStyle, d.frameColors);
    if (!lines) {
        canvas.Rectangle(l, 0, r + 2, h);
        return;
    }
    canvas.Rectangle(l, 0, r + 2, h - 1);
    canvas.Pen.Color = lines->topLeft;
    canvas.Polyline({{l + 1, h - 3}, {l + 1, 1}, {r + 1, 1}});
    canvas.Pen.Color = lines->bottomRight;
    canvas.Polyline({{l + 1, h - 1}, {r + 2, h - 1}, {r + 2, 0}});
}

void TNumLab::DrawValue(TCanvas& canvas, int yText)
{
    const Display& d = display_;
    const int l = d.leftSpace;
    const int r = d.leftSpace + d.labelWidth;
    QString text = NumLabValueText(d.value, TNumLabTextSettings{d.text, format_});
    if (OnBeforeDisplay)
        OnBeforeDisplay(this, text);
    if (canvas.TextWidth(text) > d.labelWidth - 6 && d.text.DisplayType != dtState)
        text = d.text.OverflowIndicator;
    const int tw = canvas.TextWidth(text);
    const int x = d.alignment == taLeftJustify ? l + 4
        : d.alignment == taRightJustify        ? r - tw - 2
                                               : l + 2 + (d.labelWidth - tw) / 2;
    canvas.Font.SetColor(d.colorLabText);
    canvas.Brush.Color = d.colorLabBakG;
    // The box clips the text, the overflow indicator and a long state text included.
    canvas.TextRect(TRect{l + 3, 2, r - 1, height() - 3}, x, yText, text);
    displayedText_ = text;
}

void TNumLab::paintEvent(QPaintEvent*)
{
    if (TDeviceScale::Of(image_.devicePixelRatio()) != TDeviceScale::Of(devicePixelRatioF()))
        Paint();  // moved to a screen of another scale, or zoomed
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void TNumLab::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    MouseMove(event->modifiers(), p.x(), p.y());
    QWidget::mouseMoveEvent(event);
}

void TNumLab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Paint();
}

void TNumLab::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Paint();
}

void TNumLab::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Paint();
}
