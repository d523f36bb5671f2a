#pragma once

#include "core/model/BurnInElement.h"

#include <QColor>

#include <functional>

namespace tandrel {

class AppState;

// One element of the active preset, read and written by id: what the chips, the element
// editor and its sections edit. A read finds the first element with the id; when there is
// none (the element was removed, or another preset is active) it gives a placeholder that is
// never stored, and writes are dropped without a word. A write replaces the element and
// assigns the preset list once, so the state object saves, rewrites the snapshot and
// publishes once per edit.
class ElementBinding {
public:
    ElementBinding(AppState &state, Uuid id) : state_(state), id_(id) {}

    // A clip-name element with every other member at its default and a new id.
    static BurnInElement placeholder();

    const Uuid &id() const { return id_; }
    // Whether the active preset has the element.
    bool exists() const;
    BurnInElement get() const;
    // Replaces the element (its id is kept); false when it is not there to replace.
    bool set(BurnInElement element) const;
    // Reads the element, changes it and writes it back; false, without calling `change`, when
    // it is not there.
    bool update(const std::function<void(BurnInElement &)> &change) const;

    // The text colour, or the background colour, as an opaque sRGB colour; white while the
    // element is not there.
    QColor color(bool background) const;
    // Writes a picked colour by the colour rule (ElementColor): converted to sRGB and clamped,
    // its own opacity never taken. An invalid colour, or a missing element, writes nothing.
    bool setColor(const QColor &colour, bool background) const;

private:
    AppState &state_;
    Uuid id_;
};

// The text colour, or the background colour, of one element, as its colour well edits it.
class ElementColorBinding {
public:
    ElementColorBinding(ElementBinding element, bool background)
        : element_(element), background_(background) {}

    bool isBackground() const { return background_; }
    QColor get() const { return element_.color(background_); }
    bool set(const QColor &colour) const { return element_.setColor(colour, background_); }

private:
    ElementBinding element_;
    bool background_;
};

} // namespace tandrel
