#include "ChartBenchPeer.h"

#include <qcustomplot.h>

namespace chartbench {

namespace {

QColor ToQColor(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return QColor(int(rgb & 0xFF), int(rgb >> 8 & 0xFF), int(rgb >> 16 & 0xFF));
}

}  // namespace

// One plot with one plottable of each kind; a picture shows only the one it needs.
struct PeerChart::Plot {
    QCustomPlot widget;
    QCPGraph* graph;
    QCPBars* bars;
    QCPColorMap* map;
    QVector<double> keys, values;

    Plot()
    {
        widget.resize(FrameWidth, FrameHeight);
        widget.setNotAntialiasedElements(QCP::aeAll);
        widget.axisRect()->setAutoMargins(QCP::msNone);
        widget.axisRect()->setMargins(QMargins(MarginLeft, MarginTop, MarginRight, MarginBottom));
        widget.xAxis->grid()->setVisible(false);
        widget.yAxis->grid()->setVisible(false);
        graph = widget.addGraph();
        graph->setLineStyle(QCPGraph::lsNone);
        bars = new QCPBars(widget.xAxis, widget.yAxis);
        map = new QCPColorMap(widget.xAxis, widget.yAxis);
        map->setInterpolate(false);
    }

    void Show(QCPAbstractPlottable* shown)
    {
        for (QCPAbstractPlottable* p : {static_cast<QCPAbstractPlottable*>(graph),
                 static_cast<QCPAbstractPlottable*>(bars), static_cast<QCPAbstractPlottable*>(map)})
            p->setVisible(p == shown);
    }

    void LoadScatter(const Picture& picture)
    {
        keys.resize(0);
        values.resize(0);
        for (const Mark& m : picture.Marks) {
            keys.push_back(m.X);
            values.push_back(m.Y);
        }
        graph->setData(keys, values);
        graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssPlus, ToQColor(picture.DataColor), 5));
        Show(graph);
    }

    void LoadBars(const Picture& picture)
    {
        keys.resize(0);
        values.resize(0);
        for (const Rect& r : picture.Rects) {
            keys.push_back((r.X1 + r.X2) / 2);
            values.push_back(r.Y2);
        }
        bars->setData(keys, values, true);
        bars->setWidth(picture.Rects.front().X2 - picture.Rects.front().X1);
        bars->setPen(QPen(ToQColor(picture.DataColor)));
        bars->setBrush(ToQColor(picture.Rects.front().Fill));
        Show(bars);
    }

    // Cell values: 0 empty, then one value per fill colour in the order the colours first appear.
    void LoadColorMap(const Picture& picture)
    {
        const int n = picture.GridSize;
        map->data()->setSize(n, n);
        map->data()->setRange(QCPRange(0.5, n - 0.5), QCPRange(0.5, n - 0.5));
        map->data()->fill(0);
        QCPColorGradient gradient;
        gradient.setColorStopAt(0, Qt::white);
        QVector<TColor> fills;
        for (const Rect& r : picture.Rects) {
            int level = int(fills.indexOf(r.Fill)) + 1;
            if (level == 0) {
                fills.push_back(r.Fill);
                level = int(fills.size());
            }
            map->data()->setCell(int(r.X1), int(r.Y1), level);
        }
        for (int i = 0; i < fills.size(); ++i)
            gradient.setColorStopAt(double(i + 1) / fills.size(), ToQColor(fills[i]));
        gradient.setLevelCount(int(fills.size()) + 1);
        map->setGradient(gradient);
        map->setDataRange(QCPRange(0, fills.size()));
        Show(map);
    }

    void LoadRectangles(const Picture& picture)
    {
        widget.clearItems();
        const QPen pen(ToQColor(picture.DataColor));
        for (const Rect& r : picture.Rects) {
            auto* item = new QCPItemRect(&widget);
            item->topLeft->setCoords(r.X1, r.Y2);
            item->bottomRight->setCoords(r.X2, r.Y1);
            item->setPen(pen);
            item->setBrush(ToQColor(r.Fill));
        }
        Show(nullptr);
    }
};

PeerChart::PeerChart() : plot_(std::make_unique<Plot>()), image_(FrameWidth, FrameHeight, QImage::Format_RGB32)
{
}

PeerChart::~PeerChart() = default;

void PeerChart::Paint(const Picture& picture)
{
    Plot& p = *plot_;
    if (picture.Peer != PeerStyle::Rectangles && p.widget.itemCount() > 0)
        p.widget.clearItems();
    switch (picture.Peer) {
    case PeerStyle::Scatter: p.LoadScatter(picture); break;
    case PeerStyle::Bars: p.LoadBars(picture); break;
    case PeerStyle::ColorMap: p.LoadColorMap(picture); break;
    case PeerStyle::Rectangles: p.LoadRectangles(picture); break;
    }
    p.widget.xAxis->setVisible(picture.ScalesVisible);
    p.widget.yAxis->setVisible(picture.ScalesVisible);
    p.widget.xAxis->setRange(picture.XLow, picture.XHigh);
    p.widget.yAxis->setRange(picture.YLow, picture.YHigh);
    QCPPainter painter(&image_);
    p.widget.toPainter(&painter, FrameWidth, FrameHeight);
}

}  // namespace chartbench
