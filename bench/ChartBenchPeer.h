#pragma once

// The peer a Qt developer would reach for: QCustomPlot 2.1, drawing the same pictures into a same-size QImage.

#include <QImage>
#include <memory>

#include "ChartBenchPictures.h"

namespace chartbench {

class PeerChart {
public:
    PeerChart();
    ~PeerChart();
    PeerChart(const PeerChart&) = delete;
    PeerChart& operator=(const PeerChart&) = delete;

    // Loads the picture's data into the plot (as a program would on each update) and renders it.
    void Paint(const Picture& picture);
    const QImage& Image() const { return image_; }

private:
    struct Plot;
    std::unique_ptr<Plot> plot_;
    QImage image_;
};

}  // namespace chartbench
