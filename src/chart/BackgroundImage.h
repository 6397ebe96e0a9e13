#pragma once
// The chart's background settings (TBakGndImg): an image file for the plot area, or a coloured area in world
// units of layer 1 when there is none.

#include <QObject>
#include <QString>

#include "chart/ChartTypes.h"
#include "chart/PlotBackground.h"
#include "platform/draw/Color.h"
#include "scale/Quarn_quarnbase.h"

// The file-name part of a path: everything after its last '/', '\' or drive colon.
QString FileNamePart(const QString& path);

// Every setter stores and notifies, also when the value is unchanged.
class TBakGndImg : public TSettingsRecord {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(bool IncludePath READ IncludePath WRITE SetIncludePath)
    Q_PROPERTY(TBkgFill FillMode READ FillMode WRITE SetFillMode)
    Q_PROPERTY(TBGAreaMode AreaMode READ AreaMode WRITE SetAreaMode)
    Q_PROPERTY(TColor AreaColor READ AreaColor WRITE SetAreaColor)
    Q_PROPERTY(double AreaLeft READ AreaLeft WRITE SetAreaLeft)
    Q_PROPERTY(double AreaRight READ AreaRight WRITE SetAreaRight)
    Q_PROPERTY(double AreaTop READ AreaTop WRITE SetAreaTop)
    Q_PROPERTY(double AreaBottom READ AreaBottom WRITE SetAreaBottom)

public:
    explicit TBakGndImg(QObject* parent = nullptr);

    QString Name() const { return settings_.Name; }
    bool IncludePath() const { return settings_.IncludePath; }
    TBkgFill FillMode() const { return settings_.FillMode; }
    TBGAreaMode AreaMode() const { return settings_.AreaMode; }
    TColor AreaColor() const { return settings_.AreaColor; }
    double AreaLeft() const { return settings_.AreaLeft; }
    double AreaRight() const { return settings_.AreaRight; }
    double AreaTop() const { return settings_.AreaTop; }
    double AreaBottom() const { return settings_.AreaBottom; }

    // Without IncludePath only the file-name part is kept.
    void SetName(const QString& value);
    // Turning it off cuts Name to its file-name part.
    void SetIncludePath(bool value);
    void SetFillMode(TBkgFill value);
    void SetAreaMode(TBGAreaMode value);
    void SetAreaColor(TColor value);
    void SetAreaLeft(double value);
    void SetAreaRight(double value);
    void SetAreaTop(double value);
    void SetAreaBottom(double value);

    // Copies every setting from source, then notifies once.
    void Assign(const TBakGndImg& source);

    // All settings at once, as the chart draws the background from them.
    const BackgroundSettings& Settings() const { return settings_; }
    // Drops an image name that could not be loaded, without a notification: the chart does this while it
    // paints, so that later paints do not try the file again.
    void ForgetName() { settings_.Name.clear(); }

private:
    BackgroundSettings settings_;
};
