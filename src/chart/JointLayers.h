#pragma once
// Which layer's x and y range each chart layer shows (TJointLayers): a layer joined to another one always
// shows that layer's range on the joined axis.

#include <array>
#include <QObject>

#include "chart/ChartTransform.h"
#include "scale/Quarn_quarnbase.h"

// What the table needs from its chart: the single-layer range update that makes Layer show FromLayer's range on
// one axis (XAxis: the x axis, else the y axis) and keep its own range on the other.
class IJointLayerHost {
public:
    virtual void TakeAxisRange(int Layer, bool XAxis, int FromLayer) = 0;

protected:
    ~IJointLayerHost() = default;
};

// The published pair of one layer: L<nn>xControlledBy and L<nn>yControlledBy.
#define SEWELLA_JOINT_LAYER_ACCESSORS(nn, n)                                                                           \
    int L##nn##xControlledBy() const                                                                                   \
    {                                                                                                                  \
        return ControlledBy(n, true);                                                                                  \
    }                                                                                                                  \
    int L##nn##yControlledBy() const                                                                                   \
    {                                                                                                                  \
        return ControlledBy(n, false);                                                                                 \
    }                                                                                                                  \
    void SetL##nn##xControlledBy(int value)                                                                            \
    {                                                                                                                  \
        SetControlledBy(n, true, value);                                                                               \
    }                                                                                                                  \
    void SetL##nn##yControlledBy(int value)                                                                            \
    {                                                                                                                  \
        SetControlledBy(n, false, value);                                                                              \
    }

// The joint table of the chart's 16 layers; at first every layer controls its own axes. A refused joint raises
// EQuarnRChartError and leaves the table as it was.
class TJointLayers : public QObject {
    Q_OBJECT
    Q_PROPERTY(int L01xControlledBy READ L01xControlledBy WRITE SetL01xControlledBy)
    Q_PROPERTY(int L01yControlledBy READ L01yControlledBy WRITE SetL01yControlledBy)
    Q_PROPERTY(int L02xControlledBy READ L02xControlledBy WRITE SetL02xControlledBy)
    Q_PROPERTY(int L02yControlledBy READ L02yControlledBy WRITE SetL02yControlledBy)
    Q_PROPERTY(int L03xControlledBy READ L03xControlledBy WRITE SetL03xControlledBy)
    Q_PROPERTY(int L03yControlledBy READ L03yControlledBy WRITE SetL03yControlledBy)
    Q_PROPERTY(int L04xControlledBy READ L04xControlledBy WRITE SetL04xControlledBy)
    Q_PROPERTY(int L04yControlledBy READ L04yControlledBy WRITE SetL04yControlledBy)
    Q_PROPERTY(int L05xControlledBy READ L05xControlledBy WRITE SetL05xControlledBy)
    Q_PROPERTY(int L05yControlledBy READ L05yControlledBy WRITE SetL05yControlledBy)
    Q_PROPERTY(int L06xControlledBy READ L06xControlledBy WRITE SetL06xControlledBy)
    Q_PROPERTY(int L06yControlledBy READ L06yControlledBy WRITE SetL06yControlledBy)
    Q_PROPERTY(int L07xControlledBy READ L07xControlledBy WRITE SetL07xControlledBy)
    Q_PROPERTY(int L07yControlledBy READ L07yControlledBy WRITE SetL07yControlledBy)
    Q_PROPERTY(int L08xControlledBy READ L08xControlledBy WRITE SetL08xControlledBy)
    Q_PROPERTY(int L08yControlledBy READ L08yControlledBy WRITE SetL08yControlledBy)
    Q_PROPERTY(int L09xControlledBy READ L09xControlledBy WRITE SetL09xControlledBy)
    Q_PROPERTY(int L09yControlledBy READ L09yControlledBy WRITE SetL09yControlledBy)
    Q_PROPERTY(int L10xControlledBy READ L10xControlledBy WRITE SetL10xControlledBy)
    Q_PROPERTY(int L10yControlledBy READ L10yControlledBy WRITE SetL10yControlledBy)
    Q_PROPERTY(int L11xControlledBy READ L11xControlledBy WRITE SetL11xControlledBy)
    Q_PROPERTY(int L11yControlledBy READ L11yControlledBy WRITE SetL11yControlledBy)
    Q_PROPERTY(int L12xControlledBy READ L12xControlledBy WRITE SetL12xControlledBy)
    Q_PROPERTY(int L12yControlledBy READ L12yControlledBy WRITE SetL12yControlledBy)
    Q_PROPERTY(int L13xControlledBy READ L13xControlledBy WRITE SetL13xControlledBy)
    Q_PROPERTY(int L13yControlledBy READ L13yControlledBy WRITE SetL13yControlledBy)
    Q_PROPERTY(int L14xControlledBy READ L14xControlledBy WRITE SetL14xControlledBy)
    Q_PROPERTY(int L14yControlledBy READ L14yControlledBy WRITE SetL14yControlledBy)
    Q_PROPERTY(int L15xControlledBy READ L15xControlledBy WRITE SetL15xControlledBy)
    Q_PROPERTY(int L15yControlledBy READ L15yControlledBy WRITE SetL15yControlledBy)
    Q_PROPERTY(int L16xControlledBy READ L16xControlledBy WRITE SetL16xControlledBy)
    Q_PROPERTY(int L16yControlledBy READ L16yControlledBy WRITE SetL16yControlledBy)

public:
    explicit TJointLayers(QObject* parent = nullptr, IJointLayerHost* host = nullptr);

    // The layer whose range layer shows on the x (xAxis) or y axis; 0 for a layer outside 1..16.
    int ControlledBy(int layer, bool xAxis) const;
    // Joins layer's axis to destination, or releases it when destination is layer itself (no notification
    // then). A joint changes the layer's range through the host, then notifies. Refused with
    // EQuarnRChartError: a destination outside 1..16, a destination that is joined itself, a layer that others
    // are joined to. A layer outside 1..16 is ignored.
    void SetControlledBy(int layer, bool xAxis, int destination);

    SEWELLA_JOINT_LAYER_ACCESSORS(01, 1)
    SEWELLA_JOINT_LAYER_ACCESSORS(02, 2)
    SEWELLA_JOINT_LAYER_ACCESSORS(03, 3)
    SEWELLA_JOINT_LAYER_ACCESSORS(04, 4)
    SEWELLA_JOINT_LAYER_ACCESSORS(05, 5)
    SEWELLA_JOINT_LAYER_ACCESSORS(06, 6)
    SEWELLA_JOINT_LAYER_ACCESSORS(07, 7)
    SEWELLA_JOINT_LAYER_ACCESSORS(08, 8)
    SEWELLA_JOINT_LAYER_ACCESSORS(09, 9)
    SEWELLA_JOINT_LAYER_ACCESSORS(10, 10)
    SEWELLA_JOINT_LAYER_ACCESSORS(11, 11)
    SEWELLA_JOINT_LAYER_ACCESSORS(12, 12)
    SEWELLA_JOINT_LAYER_ACCESSORS(13, 13)
    SEWELLA_JOINT_LAYER_ACCESSORS(14, 14)
    SEWELLA_JOINT_LAYER_ACCESSORS(15, 15)
    SEWELLA_JOINT_LAYER_ACCESSORS(16, 16)

    void SetHost(IJointLayerHost* host) { host_ = host; }
    // Copies the whole table (no ranges change), then notifies.
    void Assign(const TJointLayers& source);

    TNotifyEvent OnChange;

private:
    using Controllers = std::array<int, ChartLayerCount>;
    Controllers& Axis(bool xAxis) { return xAxis ? x_ : y_; }
    const Controllers& Axis(bool xAxis) const { return xAxis ? x_ : y_; }
    void Changed();

    Controllers x_;
    Controllers y_;
    IJointLayerHost* host_;
};

#undef SEWELLA_JOINT_LAYER_ACCESSORS
