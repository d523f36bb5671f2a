#pragma once

#include "timecode/core/Timecode.h"
#include "timecode/ui/model/Binding.h"

#include <QObject>

#include <functional>
#include <memory>

namespace timecode {

// A timecode kept as the state of a view, with a binding to it for the views that edit it.
// A store of a timecode identical to the stored one (the same six components, the same rate,
// sub-frames base and upper limit) is silent; any other store is made at once and announced by
// timecodeChanged() after it, queued on the event loop, one signal per store.
class TimecodeState : public QObject {
    Q_OBJECT
public:
    explicit TimecodeState(const Timecode &initialValue, QObject *parent = nullptr);

    const Timecode &wrappedValue() const { return *storage_; }
    void setWrappedValue(const Timecode &timecode);
    // Lets the caller change a copy and stores it back as one store.
    void modifyWrappedValue(const std::function<void(Timecode &)> &change);

    // Reads and writes the stored timecode; it keeps the storage alive, so it still reads and
    // writes (silently) after this object is gone. Its observers hear timecodeChanged().
    Binding<Timecode> projectedValue();

signals:
    void timecodeChanged();

private:
    std::shared_ptr<Timecode> storage_;
};

} // namespace timecode
