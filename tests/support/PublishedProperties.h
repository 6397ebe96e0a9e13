#pragma once
// Walks the published properties (Q_PROPERTY) a library class declares, its library bases
// included and Qt's own classes left out: to give every writable one a new value, and to check
// that one object's properties were copied to another.

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include <QByteArray>
#include <QMetaObject>
#include <QMetaProperty>
#include <QObject>
#include <QVariant>

namespace published {

inline std::vector<QMetaProperty> PropertiesOf(const QObject& object)
{
    std::vector<QMetaProperty> properties;
    for (const QMetaObject* mo = object.metaObject(); mo && mo->className()[0] != 'Q'; mo = mo->superClass())
        for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
            properties.push_back(mo->property(i));
    return properties;
}

inline QObject* ObjectIn(const QVariant& value)
{
    return (value.metaType().flags() & QMetaType::PointerToQObject) ? value.value<QObject*>() : nullptr;
}

// A value of current's type other than current: booleans flip, numbers and characters move on,
// colours change bits, texts grow, enumerations switch between their first two values. Invalid
// for a type the walk does not know.
inline QVariant OtherValue(const QVariant& current)
{
    const QMetaType type = current.metaType();
    if (type.flags() & QMetaType::IsEnumeration) {
        QVariant other(type, nullptr);
        const bool isFirst = std::memcmp(current.constData(), other.constData(), std::size_t(type.sizeOf())) == 0;
        if (isFirst)
            *static_cast<std::uint8_t*>(other.data()) = 1;  // the low byte, on the little-endian machines we build for
        return other;
    }
    switch (type.id()) {
    case QMetaType::Bool: return !current.toBool();
    case QMetaType::Int: return current.toInt() + 1;
    case QMetaType::UInt: return current.toUInt() ^ 0x123456u;  // TColor
    case QMetaType::Double: return current.toDouble() + 1.5;
    case QMetaType::Char: return QVariant::fromValue(static_cast<char>(current.value<char>() + 1));
    case QMetaType::QString: return current.toString() + QStringLiteral("+x");
    default: return {};
    }
}

// Gives every writable published property of object, and of the objects its properties hold,
// a value other than its current one, and checks that the object took it.
inline void ChangeEveryWritableProperty(QObject& object)
{
    for (const QMetaProperty& p : PropertiesOf(object)) {
        SCOPED_TRACE(p.name());
        const QVariant current = p.read(&object);
        if (QObject* inner = ObjectIn(current)) {
            ChangeEveryWritableProperty(*inner);
            continue;
        }
        if (!p.isWritable())
            continue;
        const QVariant other = OtherValue(current);
        ASSERT_TRUE(other.isValid()) << "no other value known for type " << current.metaType().name();
        ASSERT_NE(other, current);
        ASSERT_TRUE(p.write(&object, other));
        ASSERT_EQ(p.read(&object), other) << "the setter refused the new value";
    }
}

// Every published property of target equals source's (recursively for objects they hold),
// except the writable ones named in notCopied, which must have kept target's own value.
inline void ExpectPropertiesCopied(
    const QObject& source, const QObject& target, const std::set<QByteArray>& notCopied = {})
{
    for (const QMetaProperty& p : PropertiesOf(source)) {
        SCOPED_TRACE(p.name());
        const QVariant from = p.read(&source);
        const QVariant to = p.read(&target);
        QObject* fromObject = ObjectIn(from);
        QObject* toObject = ObjectIn(to);
        if (fromObject && toObject) {
            EXPECT_NE(fromObject, toObject) << "the held object itself was shared";
            ExpectPropertiesCopied(*fromObject, *toObject);
        } else if (notCopied.count(p.name()) != 0) {
            EXPECT_NE(from, to) << "copied, though it belongs to the target";
        } else {
            EXPECT_EQ(from, to) << "not copied";
        }
    }
}

}  // namespace published
