#include "host/views/FeedbackSheet.h"

#include "designkit/CorvaneButton.h"
#include "host/views/PlaceholderView.h"

#include <QVBoxLayout>

namespace tandrel {

FeedbackSheet::FeedbackSheet(AppState &, const QString &herkunft, QWidget *parent)
    : QDialog(parent), herkunft_(herkunft) {
    setWindowTitle(QStringLiteral("Send Feedback"));
    setWindowModality(Qt::WindowModal);
    resize(540, 560);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 16);
    layout->addWidget(
        new PlaceholderView(
            QStringLiteral("envelope.badge"), QStringLiteral("Send Feedback"),
            QStringLiteral("The feedback form will sit here: your message, an optional screenshot "
                           "and what it sends along.")),
        1);
    auto *close = new corvane::CorvaneButton(QStringLiteral("Close"));
    connect(close, &QAbstractButton::clicked, this, &QDialog::reject);
    layout->addWidget(close, 0, Qt::AlignHCenter);
}

} // namespace tandrel
