#include "numlab/Quarn_NumLab.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <QMouseEvent>
#include <QPainter>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace {

// The text whose height decides the vertical position of every text of the control.
const QString kHeightProbe = QString::fromUtf8("(8g]}\u00DC\u00C4\u00A7");

// The frame lines of the box around the value, after its outline.
struct BoxLines {
    TColor topLeft;
    TColor bottomRight;
};

// None for the flat styles (fsNone, fsSimple) and for unknown ones.
std::optional<BoxLines> BoxLinesOf(TFrameStyle style, TColor frame, TColor shadow, TColor highlight)
{
    switch (style) {
    case fsLowered: return BoxLines{frame, highlight};
    case fsRaised: return BoxLines{highlight, frame};
    case fsEmbossed: return BoxLines{shadow, shadow};
    case fsEngraved: return BoxLines{highlight, highlight};
    default: return std::nullopt;
    }
}

QString ClassNameOf(const QObject* object)
{
    return object ? QString::fromLatin1(object->metaObject()->className()) : QStringLiteral("nil");
}

}  // namespace

TNumLab::TNumLab(QWidget* parent)
    : QWidget(parent),
      colorLabBakG_(clBtnFace),
      colorLabText_(clBlack),
      colorOutBakG_(clBtnFace),
      colorOutText_(clBlack),
      frameColor_(clBlack),
      shadowColor_(clGray),
      highlightColor_(clWhite)
{
    setMouseTracking(true);
    resize(160, 28);
    Paint();
}

TNumLab::~TNumLab() = default;

template <typename T> void TNumLab::Store(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    Paint();
}

void TNumLab::SetLeftSpace(int value)
{
    if (value < 0)
        return;
    Store(leftSpace_, std::min(value, width()));
}

void TNumLab::SetEmpty(bool value)
{
    Store(empty_, value);
}
void TNumLab::SetLabelWidth(int value)
{
    Store(labelWidth_, value);
}

void TNumLab::SetPrecision(int value)
{
    if (value < 0)
        return;
    Store(text_.Precision, std::min(value, 15));
}

void TNumLab::SetComma(bool value)
{
    Store(text_.Comma, value);
}
void TNumLab::SetForcePlusSign(bool value)
{
    Store(text_.ForcePlusSign, value);
}
void TNumLab::SetLeftText(const QString& value)
{
    Store(leftText_, value);
}
void TNumLab::SetRightText(const QString& value)
{
    Store(rightText_, value);
}
void TNumLab::SetFrameStyle(TFrameStyle value)
{
    Store(frameStyle_, value);
}
void TNumLab::SetStateText(const QString& value)
{
    Store(text_.StateText, value);
}
void TNumLab::SetAlignment(TAlignment value)
{
    Store(alignment_, value);
}
void TNumLab::SetLeftTextAlignment(TAlignment value)
{
    Store(leftTextAlignment_, value);
}
void TNumLab::SetRightTextAlignment(TAlignment value)
{
    Store(rightTextAlignment_, value);
}
void TNumLab::SetOverflowIndicator(const QString& value)
{
    Store(text_.OverflowIndicator, value);
}

void TNumLab::SetValue(double value)
{
    if (std::isnan(value))
        return;
    Store(value_, value);
}

void TNumLab::SetColorLabBakG(TColor value)
{
    Store(colorLabBakG_, value);
}
void TNumLab::SetColorLabText(TColor value)
{
    Store(colorLabText_, value);
}
void TNumLab::SetColorOutBakG(TColor value)
{
    Store(colorOutBakG_, value);
}
void TNumLab::SetColorOutText(TColor value)
{
    Store(colorOutText_, value);
}

void TNumLab::SetColorScheme(TColorScheme value)
{
    if (value == colorScheme_)
        return;
    colorScheme_ = value;
    if (value == csSystem) {
        shadowColor_ = clBtnShadow;
        highlightColor_ = clBtnHighlight;
    } else {
        shadowColor_ = clGray;
        highlightColor_ = clWhite;
    }
    Paint();
}

void TNumLab::SetDisplayType(TDisplay value)
{
    Store(text_.DisplayType, value);
}
void TNumLab::SetDTFormat(const QString& value)
{
    Store(text_.DTFormat, value);
}

void TNumLab::Assign(const QObject* source)
{
    const auto* other = qobject_cast<const TNumLab*>(source);
    if (!other)
        throw EQuarnError("Cannot assign a " + ClassNameOf(source).toStdString() + " to a TNumLab");
    leftSpace_ = other->leftSpace_;
    empty_ = other->empty_;
    labelWidth_ = other->labelWidth_;
    text_.Precision = other->text_.Precision;
    leftText_ = other->leftText_;
    rightText_ = other->rightText_;
    frameStyle_ = other->frameStyle_;
    alignment_ = other->alignment_;
    rightTextAlignment_ = other->rightTextAlignment_;
    leftTextAlignment_ = other->leftTextAlignment_;
    text_.OverflowIndicator = other->text_.OverflowIndicator;
    value_ = other->value_;
    text_.StateText = other->text_.StateText;
    colorLabBakG_ = other->colorLabBakG_;
    colorLabText_ = other->colorLabText_;
    colorOutBakG_ = other->colorOutBakG_;
    colorOutText_ = other->colorOutText_;
    frameColor_ = other->frameColor_;
    shadowColor_ = other->shadowColor_;
    highlightColor_ = other->highlightColor_;
    colorScheme_ = other->colorScheme_;
    text_.DisplayType = other->text_.DisplayType;
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
    if (x > leftSpace_)
        mouseArea_ = 1;
    if (x > leftSpace_ + labelWidth_)
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
    TBitmap bitmap(width(), height());
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font = TFont::FromQFont(font());
    canvas.Pen.Color = colorOutBakG_;
    canvas.Brush.Color = colorOutBakG_;
    canvas.Brush.Style = bsSolid;
    canvas.Rectangle(0, 0, width(), height());

    const int yText = (height() - canvas.TextHeight(kHeightProbe)) / 2;
    DrawSideTexts(canvas, yText);
    DrawBox(canvas);
    displayedText_.clear();
    if (!empty_)
        DrawValue(canvas, yText);

    image_ = bitmap.Image();
    update();
}

void TNumLab::DrawSideTexts(TCanvas& canvas, int yText) const
{
    const int l = leftSpace_;
    const int r = leftSpace_ + labelWidth_;
    canvas.Font.SetColor(colorOutText_);
    if (!leftText_.isEmpty()) {
        const int tw = canvas.TextWidth(leftText_);
        const int x = leftTextAlignment_ == taLeftJustify ? 7
            : leftTextAlignment_ == taRightJustify        ? l - tw - 5
                                                          : (l - tw) / 2;
        canvas.TextOut(x, yText, leftText_);
    }
    if (!rightText_.isEmpty()) {
        const int w = width();
        const int tw = canvas.TextWidth(rightText_);
        const int x = rightTextAlignment_ == taLeftJustify ? r + 7
            : rightTextAlignment_ == taRightJustify        ? w - tw - 6
                                                           : r + 1 + (w - l - labelWidth_ - tw) / 2;
        canvas.TextOut(x, yText, rightText_);
    }
}

void TNumLab::DrawBox(TCanvas& canvas) const
{
    const int l = leftSpace_;
    const int r = leftSpace_ + labelWidth_;
    const int h = height();
    canvas.Pen.Color = frameStyle_ == fsNone ? colorLabBakG_
        : frameStyle_ == fsEmbossed          ? highlightColor_
                                             : shadowColor_;
    canvas.Brush.Color = colorLabBakG_;
    const std::optional<BoxLines> lines = BoxLinesOf(frameStyle_, frameColor_, shadowColor_, highlightColor_);
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
    const int l = leftSpace_;
    const int r = leftSpace_ + labelWidth_;
    QString text = NumLabValueText(value_, text_);
    if (OnBeforeDisplay)
        OnBeforeDisplay(this, text);
    if (canvas.TextWidth(text) > labelWidth_ - 6 && text_.DisplayType != dtState)
        text = text_.OverflowIndicator;
    const int tw = canvas.TextWidth(text);
    const int x = alignment_ == taLeftJustify ? l + 4
        : alignment_ == taRightJustify        ? r - tw - 2
                                              : l + 2 + (labelWidth_ - tw) / 2;
    canvas.Font.SetColor(colorLabText_);
    canvas.Brush.Color = colorLabBakG_;
    // The box clips the text, the overflow indicator and a long state text included.
    canvas.TextRect(TRect{l + 3, 2, r - 1, height() - 3}, x, yText, text);
    displayedText_ = text;
}

void TNumLab::paintEvent(QPaintEvent*)
{
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
