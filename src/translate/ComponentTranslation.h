#pragma once

#include "translate/Babelfish2000.h"

#include <QString>
#include <QStringList>

class QObject;

// How TBabelfish2000::TranslateComponent / TranslateObject see Qt's meta-object system:
// - a component owns its QObject children; they are walked depth first in child order. A child that is not a
//   widget and is the value of one of its owner's object properties is a sub-object, not an owned component: it
//   follows the property rules below instead;
// - every readable and writable property of type QString, except objectName and Name, whose value begins with
//   "BF_" (letter case counts) is looked up without the marker and written back through its setter;
// - every writable QStringList property: lines that begin with "BF_" are translated, from the last line to the
//   first, and the list is written back once when a line changed;
// - a property of type QObjectList is a collection: each item is translated, from index 0 upwards;
// - a QObject-pointer property is entered only when IsScalePropsObject holds for its value; fonts, pictures and
//   every other sub-object are not entered;
// - OnBeforeTranslateObject may stop an object, which then keeps all its texts and sub-objects unchanged.
// An object is translated at most once per call.

// The chart's scale-property objects: an instance of a Q_OBJECT class named TScaleProps (global namespace) or of
// a class derived from it, such as TScalePropsHoriz and TScalePropsVert.
bool IsScalePropsObject(const QObject* Object);

// Translate for Qt text: the key goes in as ToAnsi bytes, the text comes back through FromAnsi (UTF-8, else
// Windows-1252).
QString TranslateString(TBabelfish2000& Dictionary, const QString& Key, const QStringList& Args = {});
