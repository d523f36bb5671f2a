#pragma once

#include <QWidget>

#include <functional>
#include <optional>

namespace corvane {

class CorvaneSectionHeader;
class CorvaneSymbolButton;
class CorvaneSymbolView;

// A titled card for a side panel: an optional symbol and the title on the left of the header,
// then an expand button and a close button, each only when the caller gives its action, and
// the content under it. The panel takes all the height it is offered and keeps its header at
// the top; content that does not expand sits at the top left of the area under the header,
// content that expands across (or down) takes the whole width (or height) of that area.
// It never hides or closes itself: its buttons only call the caller's actions.
class CorvaneFloatingPanel : public QWidget {
    Q_OBJECT

public:
    struct Config {
        QString title{};
        std::optional<QString> icon{};
        std::function<void()> onExpand{};
        std::function<void()> onClose{};
        // The panel takes ownership.
        QWidget *content = nullptr;
    };

    explicit CorvaneFloatingPanel(Config config, QWidget *parent = nullptr);

    QString title() const;
    QWidget *content() const { return content_; }
    CorvaneSectionHeader *titleView() const { return title_; }
    // Absent when the panel has no icon, no expand action or no close action.
    CorvaneSymbolView *iconView() const { return icon_; }
    CorvaneSymbolButton *expandButton() const { return expand_; }
    CorvaneSymbolButton *closeButton() const { return close_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CorvaneSectionHeader *title_;
    CorvaneSymbolView *icon_ = nullptr;
    CorvaneSymbolButton *expand_ = nullptr;
    CorvaneSymbolButton *close_ = nullptr;
    QWidget *content_;
};

} // namespace corvane
