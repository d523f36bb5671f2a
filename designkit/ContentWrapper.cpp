#include "designkit/ContentWrapper.h"

#include <QHBoxLayout>
#include <QLayout>

namespace corvane {

ContentWrapper::ContentWrapper(QWidget *content, QWidget *parent)
    : QWidget(parent), content_(content), layout_(new QHBoxLayout(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    if (content_ == nullptr) {
        return;
    }
    if (QWidget *holder = content_->parentWidget(); holder != nullptr && parent == nullptr) {
        const QRect placed = content_->geometry();
        QLayout *holderLayout = holder->layout();
        QLayoutItem *replaced =
            holderLayout != nullptr ? holderLayout->replaceWidget(content_, this) : nullptr;
        if (replaced != nullptr) {
            delete replaced;
        } else {
            setParent(holder);
            setGeometry(placed);
            setVisible(!content_->isHidden());
        }
    }
    layout_->addWidget(content_);
    setSizePolicy(content_->sizePolicy());
}

void ContentWrapper::setPadding(int horizontal, int vertical) {
    layout_->setContentsMargins(horizontal, vertical, horizontal, vertical);
}

} // namespace corvane
