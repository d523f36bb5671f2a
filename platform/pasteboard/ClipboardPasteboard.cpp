#include "platform/pasteboard/ClipboardPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {

void ClipboardPasteboard::clearContents() {
    QGuiApplication::clipboard()->clear();
}

void ClipboardPasteboard::setData(const std::string &data, const std::string &type) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    auto contents = std::make_unique<QMimeData>();
    // What this program put there stays beside the new data; another program's contents are
    // not fetched only to be handed back.
    if (const QMimeData *current = clipboard->mimeData(); current && clipboard->ownsClipboard()) {
        for (const QString &format : current->formats()) {
            contents->setData(format, current->data(format));
        }
    }
    contents->setData(QString::fromStdString(type), QByteArray::fromStdString(data));
    clipboard->setMimeData(contents.release());
}

std::optional<std::string> ClipboardPasteboard::data(const std::string &type) const {
    const QMimeData *contents = QGuiApplication::clipboard()->mimeData();
    const QString format = QString::fromStdString(type);
    if (contents == nullptr || !contents->hasFormat(format)) {
        return std::nullopt;
    }
    return contents->data(format).toStdString();
}

} // namespace platform
