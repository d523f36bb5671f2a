#include "host/views/validation/SymbolLabel.h"

#include "designkit/CorvaneSymbolView.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/views/common/WrappingLabel.h"

#include <QHBoxLayout>

namespace tandrel {

SymbolLabel::SymbolLabel(const QString &symbol, const QString &text, const QFont &font,
                         const QColor &colour, QWidget *parent)
    : QWidget(parent), symbol_(new corvane::CorvaneSymbolView(symbol, corvane::kitPoints(font))),
      label_(new WrappingLabel(text)) {
    corvane::corvaneForeground(this, colour);
    label_->setFont(font);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    // Level with the first line of the text.
    layout->addWidget(symbol_, 0, Qt::AlignTop);
    layout->addWidget(label_, 1);
}

} // namespace tandrel
