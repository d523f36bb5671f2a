#include "wrapper/StatusWindow.h"

#include <QHBoxLayout>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace tandrel {

namespace {

constexpr int windowWidth = 360;
constexpr int windowHeight = 140;
constexpr int labelWidth = 300;
// Room above and below a detail that is too long for the window's usual height.
constexpr int verticalMargin = 20;

} // namespace

std::string StatusWindow::text(bool templateInstalled,
                               const std::optional<std::string> &errorDetail) {
    if (templateInstalled) {
        return "Embrik plugin installed.\n\nYou can close this window — open Final Cut Pro or "
               "Motion and Embrik will be available as a filter.";
    }
    return "Could not install the Motion template.\n\n" + errorDetail.value_or("Unknown error");
}

std::unique_ptr<QWidget> StatusWindow::make(bool templateInstalled,
                                            const std::optional<std::string> &errorDetail) {
    auto window =
        std::make_unique<QWidget>(nullptr, Qt::Window | Qt::CustomizeWindowHint |
                                               Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    window->setWindowTitle("Embrik");
    window->setObjectName("embrikStatusWindow");

    // A wrapping label that also breaks inside long words: a file-system error names paths
    // wider than the window. Its text is plain: a detail may hold anything, markup included.
    auto *label = new QTextEdit;
    label->setObjectName("statusText");
    label->setReadOnly(true);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setFocusPolicy(Qt::NoFocus);
    label->setFrameShape(QFrame::NoFrame);
    label->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    label->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    label->viewport()->setAutoFillBackground(false);
    label->setStyleSheet("QTextEdit { background: transparent; }");
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    label->document()->setDefaultTextOption(option);
    label->document()->setDocumentMargin(0);
    label->setPlainText(QString::fromStdString(text(templateInstalled, errorDetail)));
    label->document()->setTextWidth(labelWidth);
    const int textHeight = static_cast<int>(label->document()->size().height()) + 1;
    label->setFixedSize(labelWidth, textHeight);

    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(label);
    row->addStretch();
    auto *column = new QVBoxLayout(window.get());
    column->setContentsMargins(0, 0, 0, 0);
    column->addStretch();
    column->addLayout(row);
    column->addStretch();

    window->setFixedSize(windowWidth, std::max(windowHeight, textHeight + 2 * verticalMargin));
    return window;
}

} // namespace tandrel
