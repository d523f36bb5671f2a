#include "timecode/ui/TimecodePaste.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>

namespace timecode {

namespace {

TimecodeClipboardReader &clipboardReader() {
    static TimecodeClipboardReader reader;
    return reader;
}

// Watches one view for the paste keys; a child of the view, so it goes with it.
class PasteCommand : public QObject {
public:
    PasteCommand(QWidget *view, std::function<Timecode::Properties()> propertiesForString,
                 std::function<std::optional<TimecodePasteAction>()> forwardTo)
        : QObject(view), propertiesForString_(std::move(propertiesForString)),
          forwardTo_(std::move(forwardTo)) {
        view->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        const bool isKey =
            event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
        if (!isKey || !static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste)) {
            return QObject::eventFilter(watched, event);
        }
        // Claimed before any shortcut of the window can take it.
        event->accept();
        if (event->type() == QEvent::KeyPress) {
            QMetaObject::invokeMethod(
                this, [this] { paste(); }, Qt::QueuedConnection);
        }
        return true;
    }

private:
    void paste() {
        const std::optional<TimecodePasteAction> target = forwardTo_();
        if (!target || !target->action) {
            return;
        }
        const std::vector<ItemProvider> providers = timecodeItemProviders(readTimecodeClipboard());
        const Timecode::Properties properties = propertiesForString_();
        target->action(TimecodePasteResult::of(
            [&] { return Timecode::fromItemProviders(providers, properties); }));
    }

    std::function<Timecode::Properties()> propertiesForString_;
    std::function<std::optional<TimecodePasteAction>()> forwardTo_;
};

} // namespace

TimecodeClipboardReader setTimecodeClipboardReader(TimecodeClipboardReader reader) {
    return std::exchange(clipboardReader(), std::move(reader));
}

const QMimeData *readTimecodeClipboard() {
    if (const TimecodeClipboardReader &reader = clipboardReader()) {
        return reader();
    }
    return QGuiApplication::clipboard()->mimeData();
}

std::vector<ItemProvider> timecodeItemProviders(const QMimeData *mimeData) {
    if (mimeData == nullptr) {
        return {};
    }
    ItemProvider item;
    bool any = false;
    if (mimeData->hasFormat(timecodeMimeType)) {
        const QByteArray json = mimeData->data(timecodeMimeType);
        item.registerData(UniformType::timecode(), json.toStdString());
        any = true;
    }
    if (mimeData->hasText()) {
        item.registerData(Timecode::textUTType(), mimeData->text().toStdString());
        any = true;
    }
    return any ? std::vector<ItemProvider>{item} : std::vector<ItemProvider>{};
}

std::unique_ptr<QMimeData> timecodeMimeData(const Timecode &timecode,
                                            Timecode::StringFormat stringFormat) {
    auto mimeData = std::make_unique<QMimeData>();
    try {
        mimeData->setData(timecodeMimeType, QByteArray::fromStdString(Json(timecode).dump()));
    } catch (const Json::exception &) {
        // As with the item providers: without its JSON the timecode travels as text alone.
    }
    mimeData->setText(QString::fromStdString(timecode.stringValue(stringFormat)));
    return mimeData;
}

QWidget *onPasteCommandOfTimecode(QWidget *view,
                                  std::function<Timecode::Properties()> propertiesForString,
                                  std::function<std::optional<TimecodePasteAction>()> forwardTo) {
    new PasteCommand(view, std::move(propertiesForString), std::move(forwardTo));
    return view;
}

QWidget *onPasteCommandOfTimecode(QWidget *view, const Timecode::Properties &propertiesForString,
                                  std::function<std::optional<TimecodePasteAction>()> forwardTo) {
    return onPasteCommandOfTimecode(
        view, [propertiesForString] { return propertiesForString; }, std::move(forwardTo));
}

} // namespace timecode
