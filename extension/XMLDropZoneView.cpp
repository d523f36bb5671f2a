#include "extension/XMLDropZoneView.h"

#include "designkit/Fonts.h"
#include "extension/PanelColors.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace tandrel {

const QString XMLDropZoneView::fcpxmlPasteboardType = QStringLiteral("com.apple.finalcutpro.xml");
const QString XMLDropZoneView::labelText =
    QString::fromUtf8("Drop a Timeline / Clip here\nto compare against FCP\u2019s own XML");

XMLDropZoneView::XMLDropZoneView(QWidget *parent)
    : QWidget(parent), label_(new QLabel(labelText, this)) {
    QFont font = label_->font();
    font.setPointSizeF(corvane::fontPointSize(10));
    font.setWeight(QFont::Medium);
    label_->setFont(font);
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, PanelColors::secondaryLabel(this->palette()));
    label_->setPalette(palette);
    label_->setAlignment(Qt::AlignCenter);
    label_->setWordWrap(true);
    // Centred, at least 8 points in from either side.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->addWidget(label_, 0, Qt::AlignCenter);
    setAcceptDrops(true);
}

bool XMLDropZoneView::offersXML(const std::vector<platform::PasteboardItem> &items) {
    for (const platform::PasteboardItem &item : items) {
        if (item.contains(fcpxmlPasteboardType)) {
            return true;
        }
    }
    return false;
}

std::optional<QString>
XMLDropZoneView::xmlText(const std::vector<platform::PasteboardItem> &items) {
    for (const platform::PasteboardItem &item : items) {
        const auto found = item.find(fcpxmlPasteboardType);
        if (found != item.end() && !found->second.isEmpty()) {
            return QString::fromUtf8(found->second);
        }
    }
    return std::nullopt;
}

bool XMLDropZoneView::performDragOperation(const std::vector<platform::PasteboardItem> &items) {
    const std::optional<QString> xml = xmlText(items);
    if (xml && onXMLReceived) {
        onXMLReceived(*xml);
    }
    setDraggingOver(false);
    return xml.has_value();
}

void XMLDropZoneView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor accent = PanelColors::controlAccent(palette());
    QColor fill = accent;
    fill.setAlphaF(0.12f);
    // The border's width straddles the outline: keep all of it inside the view.
    constexpr double border = 1.5;
    const QRectF outline = QRectF(rect()).adjusted(border / 2, border / 2, -border / 2, -border / 2);
    painter.setPen(QPen(isDraggingOver_ ? accent : PanelColors::separator(palette()), border));
    painter.setBrush(isDraggingOver_ ? QBrush(fill) : QBrush(Qt::NoBrush));
    painter.drawRoundedRect(outline, 8, 8);
}

void XMLDropZoneView::dragEnterEvent(QDragEnterEvent *event) {
    const bool welcome = offersXML(platform::DragPasteboard::itemsOf(*event->mimeData()));
    setDraggingOver(welcome);
    if (welcome) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void XMLDropZoneView::dragLeaveEvent(QDragLeaveEvent *) {
    setDraggingOver(false);
}

void XMLDropZoneView::dropEvent(QDropEvent *event) {
    if (performDragOperation(platform::DragPasteboard::itemsOf(*event->mimeData()))) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void XMLDropZoneView::setDraggingOver(bool draggingOver) {
    isDraggingOver_ = draggingOver;
    update();
}

} // namespace tandrel
