#include "translate/ComponentTranslation.h"

#include "platform/os/AnsiText.h"

#include <QList>
#include <QMetaProperty>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QVariant>

namespace {

bool IsCollection(const QMetaType& Type)
{
    return Type == QMetaType::fromType<QObjectList>();
}

bool IsObjectReference(const QMetaType& Type)
{
    return Type.flags().testFlag(QMetaType::PointerToQObject);
}

// The objects Instance holds in its object and collection properties: parts of it, not components it owns.
QSet<const QObject*> SubObjectsOf(const QObject* Instance)
{
    QSet<const QObject*> parts;
    const QMetaObject* meta = Instance->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.isReadable())
            continue;
        if (IsCollection(property.metaType())) {
            for (const QObject* item : property.read(Instance).value<QObjectList>())
                parts.insert(item);
        } else if (IsObjectReference(property.metaType())) {
            parts.insert(property.read(Instance).value<QObject*>());
        }
    }
    return parts;
}

// One translation run; remembers the objects already translated so that an object reached twice (as a child
// and through a property, or through a cycle of properties) is translated once.
class TTranslationWalk {
public:
    explicit TTranslationWalk(TBabelfish2000& Dictionary)
        : dictionary_(Dictionary), prefix_(QString::fromUtf8(Dictionary.KeyPrefix().c_str()))
    {
    }

    void Component(QObject* Component)
    {
        Object(Component);
        // a setter may create or delete children: walk the children present now, skipping any that vanished
        const QSet<const QObject*> subObjects = SubObjectsOf(Component);
        QList<QPointer<QObject>> children;
        for (QObject* child : Component->children())
            if (!subObjects.contains(child) || child->isWidgetType())
                children.append(child);
        for (const QPointer<QObject>& child : children)
            if (child)
                this->Component(child);
    }

    void Object(QObject* Instance)
    {
        if (!Instance || done_.contains(Instance))
            return;
        done_.insert(Instance);

        bool allow = true;
        if (dictionary_.OnBeforeTranslateObject)
            dictionary_.OnBeforeTranslateObject(&dictionary_, Instance, allow);
        if (!allow)
            return;

        const QMetaObject* meta = Instance->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (!property.isReadable())
                continue;
            const QMetaType type = property.metaType();
            if (type.id() == QMetaType::QString) {
                String(Instance, property);
            } else if (type.id() == QMetaType::QStringList) {
                Lines(Instance, property);
            } else if (IsCollection(type)) {
                for (QObject* item : property.read(Instance).value<QObjectList>())
                    Object(item);
            } else if (IsObjectReference(type)) {
                QObject* value = property.read(Instance).value<QObject*>();
                if (IsScalePropsObject(value))
                    Object(value);
            }
        }
    }

private:
    void String(QObject* Instance, const QMetaProperty& Property)
    {
        if (!Property.isWritable())
            return;
        const QLatin1StringView name(Property.name());
        if (name == QLatin1StringView("objectName") || name == QLatin1StringView("Name"))
            return;
        const QString value = Property.read(Instance).toString();
        if (!value.startsWith(prefix_, Qt::CaseSensitive))
            return;
        Property.write(Instance, TranslateString(dictionary_, value.mid(prefix_.size())));
    }

    void Lines(QObject* Instance, const QMetaProperty& Property)
    {
        if (!Property.isWritable())
            return;
        QStringList lines = Property.read(Instance).toStringList();
        bool changed = false;
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            if (!lines[i].startsWith(prefix_, Qt::CaseSensitive))
                continue;
            lines[i] = TranslateString(dictionary_, lines[i].mid(prefix_.size()));
            changed = true;
        }
        if (changed)
            Property.write(Instance, lines);
    }

    TBabelfish2000& dictionary_;
    const QString prefix_;
    QSet<const QObject*> done_;
};

}  // namespace

bool IsScalePropsObject(const QObject* Object)
{
    return Object && Object->inherits("TScaleProps");
}

QString TranslateString(TBabelfish2000& Dictionary, const QString& Key, const QStringList& Args)
{
    std::vector<std::string> args;
    args.reserve(static_cast<size_t>(Args.size()));
    for (const QString& arg : Args)
        args.push_back(ToAnsi(arg));
    return FromAnsi(Dictionary.Translate(ToAnsi(Key), args));
}

void TBabelfish2000::TranslateComponent(QObject* Component)
{
    if (!Component)
        return;
    TTranslationWalk(*this).Component(Component);
}

void TBabelfish2000::TranslateObject(QObject* Instance)
{
    TTranslationWalk(*this).Object(Instance);
}
