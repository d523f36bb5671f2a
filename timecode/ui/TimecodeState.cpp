#include "timecode/ui/TimecodeState.h"

#include <QPointer>

namespace timecode {

TimecodeState::TimecodeState(const Timecode &initialValue, QObject *parent)
    : QObject(parent), storage_(std::make_shared<Timecode>(initialValue)) {}

void TimecodeState::setWrappedValue(const Timecode &timecode) {
    if (storage_->isIdentical(timecode)) {
        return;
    }
    QMetaObject::invokeMethod(
        this, [this] { emit timecodeChanged(); }, Qt::QueuedConnection);
    *storage_ = timecode;
}

void TimecodeState::modifyWrappedValue(const std::function<void(Timecode &)> &change) {
    Timecode copy = *storage_;
    change(copy);
    setWrappedValue(copy);
}

Binding<Timecode> TimecodeState::projectedValue() {
    QPointer<TimecodeState> self(this);
    std::shared_ptr<Timecode> storage = storage_;
    return Binding<Timecode>(
        [storage] { return *storage; },
        [self, storage](const Timecode &timecode) {
            if (self) {
                self->setWrappedValue(timecode);
            } else {
                *storage = timecode;
            }
        },
        [self](std::function<void()> observer) {
            if (!self) {
                return Subscription();
            }
            auto connection = std::make_shared<QMetaObject::Connection>(
                QObject::connect(self, &TimecodeState::timecodeChanged, self,
                                 [observer = std::move(observer)] { observer(); }));
            return Subscription(std::shared_ptr<void>(
                nullptr, [connection](void *) { QObject::disconnect(*connection); }));
        });
}

} // namespace timecode
