#pragma once

#include <QByteArray>
#include <QMimeData>
#include <QString>

#include <map>
#include <vector>

namespace platform {

// One item of a drag: its data by type.
using PasteboardItem = std::map<QString, QByteArray>;

// What a drag carries, as a list of items, each with data under its own types; the editor
// drags each selected clip or timeline as an item. A drag between programs carries one item,
// so this one offers its first item's data as its own formats too, for targets that know
// nothing of items.
class DragPasteboard final : public QMimeData {
    Q_OBJECT

public:
    explicit DragPasteboard(std::vector<PasteboardItem> items);

    const std::vector<PasteboardItem> &items() const { return items_; }

    // The items of any drag: those of a drag of ours, else one item of the drag's formats
    // (none when it has no formats).
    static std::vector<PasteboardItem> itemsOf(const QMimeData &data);

private:
    std::vector<PasteboardItem> items_;
};

} // namespace platform
