#include "platform/pasteboard/DragPasteboard.h"

#include <QStringList>

namespace platform {

DragPasteboard::DragPasteboard(std::vector<PasteboardItem> items) : items_(std::move(items)) {
    if (!items_.empty()) {
        for (const auto &[type, data] : items_.front()) {
            setData(type, data);
        }
    }
}

std::vector<PasteboardItem> DragPasteboard::itemsOf(const QMimeData &data) {
    if (const auto *ours = qobject_cast<const DragPasteboard *>(&data)) {
        return ours->items();
    }
    PasteboardItem item;
    for (const QString &type : data.formats()) {
        item[type] = data.data(type);
    }
    if (item.empty()) {
        return {};
    }
    return {item};
}

} // namespace platform
