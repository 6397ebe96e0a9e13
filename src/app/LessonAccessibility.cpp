#include "app/LessonAccessibility.h"

#include <QAccessibleWidget>

#include "app/LessonSlider.h"

namespace {

class TLessonSliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TLessonSliderAccessible(TLessonSlider* Slider) : QAccessibleWidget(Slider, QAccessible::Slider) { }

    void* interface_cast(QAccessible::InterfaceType Type) override
    {
        if (Type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(Type);
    }

    QVariant currentValue() const override { return Slider()->LessonValue(); }
    void setCurrentValue(const QVariant& Value) override
    {
        if (Slider()->isEnabled())
            Slider()->SetLessonValue(std::clamp(Value.toInt(), Slider()->minimum(), Slider()->maximum()));
    }
    // the value runs over the same range as the position, only the other way round
    QVariant maximumValue() const override { return Slider()->maximum(); }
    QVariant minimumValue() const override { return Slider()->minimum(); }
    QVariant minimumStepSize() const override { return Slider()->singleStep(); }

private:
    TLessonSlider* Slider() const { return static_cast<TLessonSlider*>(widget()); }
};

QAccessibleInterface* LessonAccessibleFactory(const QString& ClassName, QObject* Object)
{
    if (!Object || !Object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(Object);
    if (ClassName == QLatin1String("TLessonSlider"))
        return new TLessonSliderAccessible(static_cast<TLessonSlider*>(widget));
    if (ClassName == QLatin1String("TRChart"))
        return new QAccessibleWidget(widget, QAccessible::Chart);
    if (ClassName == QLatin1String("TNumLab"))
        return new QAccessibleWidget(widget, QAccessible::StaticText);
    return nullptr;
}

}  // namespace

void InstallLessonAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(LessonAccessibleFactory);
}
