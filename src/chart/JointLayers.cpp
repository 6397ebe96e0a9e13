#include "chart/JointLayers.h"

#include <string>

namespace {

bool IsLayer(int value)
{
    return value >= 1 && value <= ChartLayerCount;
}

}  // namespace

TJointLayers::TJointLayers(QObject* parent, IJointLayerHost* host) : QObject(parent), host_(host)
{
    for (int n = 1; n <= ChartLayerCount; ++n)
        x_[n - 1] = y_[n - 1] = n;
}

int TJointLayers::ControlledBy(int layer, bool xAxis) const
{
    return IsLayer(layer) ? Axis(xAxis)[layer - 1] : 0;
}

void TJointLayers::SetControlledBy(int layer, bool xAxis, int destination)
{
    if (!IsLayer(layer))
        return;
    Controllers& entries = Axis(xAxis);
    if (!IsLayer(destination))
        throw EQuarnRChartError("Destination layer " + std::to_string(destination) + " is out of range");
    if (destination == layer) {
        entries[layer - 1] = layer;
        return;
    }
    if (entries[destination - 1] != destination)
        throw EQuarnRChartError("Destination layer " + std::to_string(destination) + " is already joined");
    std::string joiners;
    for (int j = 1; j <= ChartLayerCount; ++j) {
        if (j != layer && entries[j - 1] == layer)
            joiners += (joiners.empty() ? "" : ", ") + std::to_string(j);
    }
    if (!joiners.empty())
        throw EQuarnRChartError("Layer " + std::to_string(layer) + " is joined by other layers (" + joiners + ")");
    entries[layer - 1] = destination;
    if (host_)
        host_->TakeAxisRange(layer, xAxis, destination);
    Changed();
}

void TJointLayers::Assign(const TJointLayers& source)
{
    x_ = source.x_;
    y_ = source.y_;
    // the table that changed reports it
    Changed();
}

void TJointLayers::Changed()
{
    if (OnChange)
        OnChange(this);
}
