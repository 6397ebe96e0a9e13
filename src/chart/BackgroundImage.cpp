#include "chart/BackgroundImage.h"

#include <algorithm>

QString FileNamePart(const QString& path)
{
    const qsizetype cut = std::max({path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'), path.lastIndexOf(u':')});
    return path.mid(cut + 1);
}

TBakGndImg::TBakGndImg(QObject* parent) : TSettingsRecord(parent)
{
}

void TBakGndImg::SetName(const QString& value)
{
    Store(settings_.Name, settings_.IncludePath ? value : FileNamePart(value), Unchanged::Apply);
}

void TBakGndImg::SetIncludePath(bool value)
{
    if (!value)
        settings_.Name = FileNamePart(settings_.Name);
    Store(settings_.IncludePath, value, Unchanged::Apply);
}

void TBakGndImg::SetFillMode(TBkgFill value)
{
    Store(settings_.FillMode, value, Unchanged::Apply);
}
void TBakGndImg::SetAreaMode(TBGAreaMode value)
{
    Store(settings_.AreaMode, value, Unchanged::Apply);
}
void TBakGndImg::SetAreaColor(TColor value)
{
    Store(settings_.AreaColor, value, Unchanged::Apply);
}
void TBakGndImg::SetAreaLeft(double value)
{
    Store(settings_.AreaLeft, value, Unchanged::Apply);
}
void TBakGndImg::SetAreaRight(double value)
{
    Store(settings_.AreaRight, value, Unchanged::Apply);
}
void TBakGndImg::SetAreaTop(double value)
{
    Store(settings_.AreaTop, value, Unchanged::Apply);
}
void TBakGndImg::SetAreaBottom(double value)
{
    Store(settings_.AreaBottom, value, Unchanged::Apply);
}

void TBakGndImg::Assign(const TBakGndImg& source)
{
    settings_ = source.settings_;
    Changed();
}
