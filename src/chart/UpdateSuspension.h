#pragma once
// A scope that suspends a chart's updates and restores the flag through its setter when it ends, so the chart
// paints once if it was not suspended before.

template <typename Chart> class UpdateSuspension {
public:
    explicit UpdateSuspension(Chart& chart) : chart_(chart), saved_(chart.UpdateSuspended())
    {
        chart_.SetUpdateSuspended(true);
    }
    ~UpdateSuspension() { chart_.SetUpdateSuspended(saved_); }
    UpdateSuspension(const UpdateSuspension&) = delete;
    UpdateSuspension& operator=(const UpdateSuspension&) = delete;

private:
    Chart& chart_;
    bool saved_;
};
