#pragma once
// The common tail of a published setter: store the value, then show the change through the
// owner's one step for it (a control's "repaint if it repaints now", a settings record's change
// notification). A setter's own rules (clamping, refusals, side effects) run before the call.
//
//     void TNumLab::SetEmpty(bool value) { Store(empty_, value); }
//     template <typename T> void TNumLab::Store(T& field, const T& value)
//     { StoreSetting(field, value, Unchanged::Skip, [this] { Paint(); }); }

#include <utility>

// What a setter does with a value equal to the one it holds: return at once, or store it and
// show the change all the same (some published setters repaint or notify on every call).
enum class Unchanged { Skip, Apply };

// Stores value in field, then calls changed(); with Unchanged::Skip an equal value does neither.
// Returns whether the value was stored.
template <typename T, typename V, typename Changed>
bool StoreSetting(T& field, V&& value, Unchanged unchanged, Changed&& changed)
{
    if (unchanged == Unchanged::Skip && field == value)
        return false;
    field = std::forward<V>(value);
    std::forward<Changed>(changed)();
    return true;
}
