#pragma once

#include "platform/pasteboard/DragPasteboard.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QLabel;

namespace tandrel {

// The panel's target for a timeline or clip dragged out of the editor, which describes what it
// drags as XML under the type "com.apple.finalcutpro.xml". It highlights while such a drag
// hovers and hands the first non-empty XML text of a drop to `onXMLReceived`; a drag without
// that type is refused and never highlighted.
class XMLDropZoneView : public QWidget {
    Q_OBJECT

public:
    static const QString fcpxmlPasteboardType;
    static const QString labelText;

    explicit XMLDropZoneView(QWidget *parent = nullptr);

    // Receives the text of each drop taken; while unset a drop is taken and its text dropped.
    std::function<void(const QString &xml)> onXMLReceived;

    bool isDraggingOver() const { return isDraggingOver_; }
    QLabel *label() const { return label_; }

    // Whether some item of a drag has data of the XML type: such a drag is welcome.
    static bool offersXML(const std::vector<platform::PasteboardItem> &items);
    // The first item's XML text that is there and not empty; nothing when no item has one.
    static std::optional<QString> xmlText(const std::vector<platform::PasteboardItem> &items);

    // Takes a drop of these items: hands over the XML text and answers whether it was taken.
    bool performDragOperation(const std::vector<platform::PasteboardItem> &items);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void setDraggingOver(bool draggingOver);

    QLabel *label_;
    bool isDraggingOver_ = false;
};

} // namespace tandrel
