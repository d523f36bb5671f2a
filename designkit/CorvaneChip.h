#pragma once

#include "designkit/Color.h"
#include "designkit/CorvaneChipChrome.h"
#include "designkit/CorvaneChipStyle.h"

#include <QAbstractButton>

#include <functional>
#include <optional>

class QLabel;

namespace corvane {

class CorvaneSymbolView;

// A complete chip: a button whose label is an optional symbol, the label text (verbatim) and
// optional trailing content, spaced 4 points apart in one colour, inside the chip chrome.
// Selection belongs to the caller, who passes it in and changes it from the action. A
// disabled chip takes no clicks and dims its text, but keeps its fill and border.
class CorvaneChip : public QAbstractButton {
    Q_OBJECT

public:
    struct Config {
        QString label{};
        std::optional<QString> icon{};
        bool isSelected = false;
        QColor tint = Color::corvaneAccent();
        CorvaneChipStyle style = CorvaneChipStyle::standard();
        CorvaneChipSize size = CorvaneChipSize::compact;
        bool isDisabled = false;
        // Shown after the label; the chip takes ownership.
        QWidget *trailing = nullptr;
        std::function<void()> action{};
    };

    explicit CorvaneChip(Config config, QWidget *parent = nullptr);

    QString label() const;
    void setLabel(const QString &label);
    bool isSelected() const { return chrome_->isSelected(); }
    void setSelected(bool isSelected);
    QColor tint() const { return chrome_->tint(); }
    void setTint(const QColor &tint);
    CorvaneChipStyle chipStyle() const { return chrome_->chipStyle(); }
    void setChipStyle(const CorvaneChipStyle &style);
    CorvaneChipSize chipSize() const { return chrome_->chipSize(); }
    void setChipSize(CorvaneChipSize size);

    CorvaneChipChrome *chrome() const { return chrome_; }
    QLabel *labelView() const { return label_; }
    // Absent when the chip has no icon.
    CorvaneSymbolView *iconView() const { return icon_; }
    QWidget *trailing() const { return trailing_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void refresh();

    QWidget *row_;
    CorvaneSymbolView *icon_ = nullptr;
    QLabel *label_;
    QWidget *trailing_;
    CorvaneChipChrome *chrome_;
};

} // namespace corvane
