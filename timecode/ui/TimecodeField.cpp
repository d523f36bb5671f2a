#include "timecode/ui/TimecodeField.h"

#include "timecode/ui/TimecodeEnvironment.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QVBoxLayout>

namespace timecode {

namespace {

using Component = Timecode::Component;

constexpr int rowSpacing = 0;

Timecode timecodeOf(const Timecode::Components &components,
                    const Timecode::Properties &properties) {
    // The components as they are, out of range or not.
    Timecode timecode(properties);
    timecode.setComponents(components);
    return timecode;
}

// One subscription that holds several.
Subscription joined(std::vector<Subscription> parts) {
    return Subscription(std::make_shared<std::vector<Subscription>>(std::move(parts)));
}

} // namespace

TimecodeField::TimecodeField(Binding<Timecode::Components> components, QWidget *parent)
    : TimecodeField(std::move(components), TimecodeFrameRate::fps24,
                    Timecode::SubFramesBase::max100SubFrames, Timecode::UpperLimit::max24Hours,
                    parent) {}

TimecodeField::TimecodeField(Binding<Timecode::Components> components,
                             const Timecode::Properties &properties, QWidget *parent)
    : TimecodeField(std::move(components), properties.frameRate, properties.subFramesBase,
                    properties.upperLimit, parent) {}

TimecodeField::TimecodeField(Binding<Timecode::Components> components, TimecodeFrameRate at,
                             Timecode::SubFramesBase base, Timecode::UpperLimit limit,
                             QWidget *parent)
    : TimecodeField(std::move(components), Binding<TimecodeFrameRate>::constant(at),
                    Binding<Timecode::SubFramesBase>::constant(base),
                    Binding<Timecode::UpperLimit>::constant(limit), parent) {}

TimecodeField::TimecodeField(Binding<Timecode::Components> components,
                             Binding<TimecodeFrameRate> at, Binding<Timecode::SubFramesBase> base,
                             Binding<Timecode::UpperLimit> limit, QWidget *parent)
    : TimecodeField(components, at, base, limit, timecodeBinding(components, at, base, limit),
                    parent) {}

TimecodeField::TimecodeField(Binding<Timecode> timecode, QWidget *parent)
    : TimecodeField(
          timecode.projecting<Timecode::Components>(
              [](const Timecode &t) { return t.components(); },
              [](Timecode &t, const Timecode::Components &c) { t.setComponents(c); }),
          timecode.projecting<TimecodeFrameRate>(
              [](const Timecode &t) { return t.frameRate(); },
              [](Timecode &t, const TimecodeFrameRate &rate) { t.setFrameRate(rate); }),
          timecode.projecting<Timecode::SubFramesBase>(
              [](const Timecode &t) { return t.subFramesBase(); },
              [](Timecode &t, const Timecode::SubFramesBase &base) { t.setSubFramesBase(base); }),
          timecode.projecting<Timecode::UpperLimit>(
              [](const Timecode &t) { return t.upperLimit(); },
              [](Timecode &t, const Timecode::UpperLimit &limit) { t.setUpperLimit(limit); }),
          timecode, parent) {}

TimecodeField::TimecodeField(Binding<Timecode::Components> components,
                             Binding<TimecodeFrameRate> at, Binding<Timecode::SubFramesBase> base,
                             Binding<Timecode::UpperLimit> limit, Binding<Timecode> timecode,
                             QWidget *parent)
    : QWidget(parent), components_(std::move(components)), frameRate_(std::move(at)),
      subFramesBase_(std::move(base)), upperLimit_(std::move(limit)),
      timecode_(std::move(timecode)), animator_(this) {
    build();
    subscribe();
    refresh();
}

// Reads build a timecode from the parts, out-of-range components kept; writes store each part
// that differs, the rate compared by its text and the base by its number.
Binding<Timecode> TimecodeField::timecodeBinding(Binding<Timecode::Components> components,
                                                 Binding<TimecodeFrameRate> at,
                                                 Binding<Timecode::SubFramesBase> base,
                                                 Binding<Timecode::UpperLimit> limit) {
    return Binding<Timecode>(
        [=] {
            return timecodeOf(components.get(),
                              Timecode::Properties(at.get(), base.get(), limit.get()));
        },
        [=](const Timecode &timecode) {
            if (components.get() != timecode.components()) {
                components.set(timecode.components());
            }
            if (at.get().rawValue() != timecode.frameRate().rawValue()) {
                at.set(timecode.frameRate());
            }
            if (base.get().rawValue() != timecode.subFramesBase().rawValue()) {
                base.set(timecode.subFramesBase());
            }
            if (limit.get() != timecode.upperLimit()) {
                limit.set(timecode.upperLimit());
            }
        },
        [=](std::function<void()> observer) {
            std::vector<Subscription> parts;
            parts.push_back(components.observe(observer));
            parts.push_back(at.observe(observer));
            parts.push_back(base.observe(observer));
            parts.push_back(limit.observe(observer));
            return joined(std::move(parts));
        });
}

void TimecodeField::build() {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSizeConstraint(QLayout::SetFixedSize);
    row_ = new QWidget(this);
    row_->setObjectName(QStringLiteral("row"));
    stack->addWidget(row_, 0, Qt::AlignRight | Qt::AlignVCenter);
    auto *row = new QHBoxLayout(row_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(rowSpacing);

    const Binding<Timecode::Properties> properties = timecode_.projecting<Timecode::Properties>(
        [](const Timecode &t) { return t.properties(); },
        [](Timecode &t, const Timecode::Properties &p) { t.setProperties(p); });
    const std::array<QString, 5> separatorTexts{QStringLiteral(" "), QStringLiteral(":"),
                                                QStringLiteral(":"), QStringLiteral(":"),
                                                QStringLiteral(".")};
    for (Component component : Component::allCases()) {
        const auto index = static_cast<size_t>(component.id());
        if (index > 0) {
            separators_[index - 1] = new SeparatorView(separatorTexts[index - 1], row_);
            row->addWidget(separators_[index - 1], 0, Qt::AlignVCenter);
        }
        const Binding<int64_t> value = components_.projecting<int64_t>(
            [component](const Timecode::Components &c) { return c.value(component); },
            [component](Timecode::Components &c, const int64_t &v) { c.value(component) = v; });
        auto *view = new ComponentView(component, properties, value, this, row_);
        connect(view, &ComponentView::valueEdited, this, &TimecodeField::refresh);
        views_[index] = view;
        row->addWidget(view, 0, Qt::AlignVCenter);
    }

    // Inside the field a paste lands in the field; the field's own command sends it on to the
    // paste target around the field.
    QPointer<TimecodeField> self(this);
    TimecodeEnvironment::modify(row_, [self](TimecodeEnvironmentOverrides &set) {
        set.timecodePasted = TimecodePasteAction{[self](const TimecodePasteResult &result) {
            if (self) {
                self->handle(result);
            }
        }};
    });
    onPasteCommandOfTimecode(
        this, [this] { return timecodeProperties(); },
        [this] { return TimecodeEnvironment::of(this).timecodePasted; });
}

void TimecodeField::subscribe() {
    auto changed = [self = QPointer<TimecodeField>(this)] {
        if (self) {
            self->refresh();
        }
    };
    // The whole timecode hears every part: the parts are its projections, or it observes the
    // four part bindings it was made of. Observing the parts as well would refresh once per
    // observer for a single change.
    subscriptions_.push_back(timecode_.observe(changed));
}

Timecode::Properties TimecodeField::timecodeProperties() const {
    return Timecode::Properties(frameRate_.get(), subFramesBase_.get(), upperLimit_.get());
}

TimecodeField::Snapshot TimecodeField::snapshot() const {
    return Snapshot{components_.get(), frameRate_.get(), subFramesBase_.get(), upperLimit_.get(),
                    timecode_.get()};
}

// Every changed part is carried to the other side when it differs there: the components and
// each property into the timecode, the timecode's components and properties into theirs.
void TimecodeField::keepBindingsConsistent() {
    Snapshot now = snapshot();
    if (lastSeen_) {
        const Snapshot &was = *lastSeen_;
        if (now.components != was.components && now.components != now.timecode.components()) {
            timecode_.modify([&](Timecode &t) { t.setComponents(now.components); });
        }
        const bool rateChanged = now.frameRate.rawValue() != was.frameRate.rawValue();
        const bool baseChanged = now.subFramesBase.rawValue() != was.subFramesBase.rawValue();
        const bool limitChanged = now.upperLimit != was.upperLimit;
        if (rateChanged && now.frameRate.rawValue() != now.timecode.frameRate().rawValue()) {
            timecode_.modify([&](Timecode &t) { t.setFrameRate(now.frameRate); });
        }
        if (baseChanged &&
            now.subFramesBase.rawValue() != now.timecode.subFramesBase().rawValue()) {
            timecode_.modify([&](Timecode &t) { t.setSubFramesBase(now.subFramesBase); });
        }
        if (limitChanged && now.upperLimit != now.timecode.upperLimit()) {
            timecode_.modify([&](Timecode &t) { t.setUpperLimit(now.upperLimit); });
        }
        now = snapshot();
        if (now.timecode.components() != was.timecode.components() &&
            now.timecode.components() != now.components) {
            components_.set(now.timecode.components());
        }
        if (now.timecode.properties() != was.timecode.properties()) {
            const Timecode::Properties &p = now.timecode.properties();
            if (frameRate_.get().rawValue() != p.frameRate.rawValue()) {
                frameRate_.set(p.frameRate);
            }
            if (subFramesBase_.get().rawValue() != p.subFramesBase.rawValue()) {
                subFramesBase_.set(p.subFramesBase);
            }
            if (upperLimit_.get() != p.upperLimit) {
                upperLimit_.set(p.upperLimit);
            }
        }
        now = snapshot();
    }
    lastSeen_ = now;
}

void TimecodeField::refresh() {
    // Writes below notify the bindings' observers, this field among them.
    if (refreshing_) {
        return;
    }
    refreshing_ = true;
    keepBindingsConsistent();
    layOutRow();
    for (ComponentView *view : views_) {
        view->syncFromBindings();
    }
    refreshing_ = false;
}

std::vector<TimecodeFieldRow::Item> TimecodeField::rowItems() const {
    return TimecodeFieldRow::items(timecodeProperties(),
                                   TimecodeEnvironment::of(this).timecodeFormat);
}

void TimecodeField::layOutRow() {
    const std::vector<TimecodeFieldRow::Item> items = rowItems();
    std::array<bool, 6> shown{};
    for (const TimecodeFieldRow::Item &item : items) {
        if (item.component) {
            shown[static_cast<size_t>(item.component->id())] = true;
        }
    }
    for (size_t index = 0; index < views_.size(); ++index) {
        views_[index]->setHidden(!shown[index]);
    }
    // The separator before a component shows with it, except before the first shown.
    const size_t first = shown[0] ? 0 : 1;
    for (size_t index = 1; index < views_.size(); ++index) {
        separators_[index - 1]->setHidden(!shown[index] || index <= first);
    }
    separators_[3]->setText(frameRate_.get().isDrop() ? QStringLiteral(";") : QStringLiteral(":"));

    const TimecodeEnvironmentValues environment = TimecodeEnvironment::of(this);
    views_[static_cast<size_t>(Component::subFrames)]->setOwnStyle(
        environment.timecodeSubFramesStyle.style, environment.timecodeSubFramesStyle.scale);
    if (focusedComponent_ && !shown[static_cast<size_t>(focusedComponent_->id())]) {
        focus(std::nullopt);
    }
}

TimecodeField::ComponentView *TimecodeField::componentView(Component component) const {
    ComponentView *view = views_[static_cast<size_t>(component.id())];
    return view->isHidden() ? nullptr : view;
}

std::vector<QWidget *> TimecodeField::rowWidgets() const {
    std::vector<QWidget *> widgets;
    for (size_t index = 0; index < views_.size(); ++index) {
        if (index > 0 && !separators_[index - 1]->isHidden()) {
            widgets.push_back(separators_[index - 1]);
        }
        if (!views_[index]->isHidden()) {
            widgets.push_back(views_[index]);
        }
    }
    return widgets;
}

void TimecodeField::setFocusedComponent(std::optional<Component> component) {
    if (component && componentView(*component) == nullptr) {
        component.reset();
    }
    const bool changed = component != focusedComponent_;
    focusedComponent_ = component;
    if (component) {
        ComponentView *view = componentView(*component);
        if (!view->hasFocus()) {
            view->setFocus(Qt::OtherFocusReason);
        }
    } else if (QWidget *focused = QApplication::focusWidget();
               focused != nullptr && isAncestorOf(focused)) {
        focused->clearFocus();
    }
    if (!changed) {
        return;
    }
    // Every move of the focus makes every component fresh again.
    for (ComponentView *view : views_) {
        view->stateModel().setIsVirgin(true);
        view->update();
    }
    emit focusedComponentChanged();
}

void TimecodeField::focus(std::optional<Component> component) {
    QMetaObject::invokeMethod(
        this, [this, component] { setFocusedComponent(component); }, Qt::QueuedConnection);
}

void TimecodeField::componentFocusedIn(Component component) {
    if (focusedComponent_ != component) {
        setFocusedComponent(component);
    }
}

void TimecodeField::componentFocusedOut(Qt::FocusReason reason) {
    // Leaving the window or opening a menu keeps the editing where it is.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::MenuBarFocusReason) {
        return;
    }
    // Focus is already on its new widget; another component takes it over in its own event.
    QWidget *next = QApplication::focusWidget();
    for (ComponentView *view : views_) {
        if (view == next) {
            return;
        }
    }
    setFocusedComponent(std::nullopt);
}

void TimecodeField::handle(const TimecodePasteResult &pasteResult) {
    const TimecodeEnvironmentValues environment = TimecodeEnvironment::of(this);
    std::optional<Timecode> accepted;
    if (pasteResult.hasValue()) {
        accepted = validate(
            pasteResult.value(), timecodeProperties(), environment.timecodeFieldPastePolicy,
            environment.timecodeFieldValidationPolicy, environment.timecodeFieldInputStyle);
    }
    if (!accepted) {
        giveRejectionFeedback(this, animator_, InputRejectionFeedback::UserAction::pasteRejected());
        return;
    }
    timecode_.set(*accepted);
    refresh();
}

void TimecodeField::perform(InputRejectionFeedback::RejectionAnimation rejectionAnimation) {
    animator_.perform(rejectionAnimation);
}

bool TimecodeField::event(QEvent *event) {
    // Built once the last view is there; events during the build find nothing to refresh.
    if (TimecodeEnvironment::isChange(event) && views_.back() != nullptr) {
        refresh();
    }
    return QWidget::event(event);
}

void TimecodeField::changeEvent(QEvent *event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        setFocusedComponent(std::nullopt);
    }
    QWidget::changeEvent(event);
}

} // namespace timecode
