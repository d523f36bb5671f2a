#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

namespace corvane {
class CorvaneSymbolView;
}

namespace tandrel {

class WrappingLabel;

// A symbol before a text, both in one colour and sized by one font; the text wraps beside
// the symbol and is never cut.
class SymbolLabel : public QWidget {
    Q_OBJECT

public:
    SymbolLabel(const QString &symbol, const QString &text, const QFont &font, const QColor &colour,
                QWidget *parent = nullptr);

    WrappingLabel *label() const { return label_; }

private:
    corvane::CorvaneSymbolView *symbol_;
    WrappingLabel *label_;
};

} // namespace tandrel
