#pragma once

#include "designkit/Color.h"
#include "designkit/CorvaneClock.h"
#include "designkit/SidebarWidth.h"

#include <QWidget>

#include <memory>
#include <optional>

class QPainter;

namespace platform {
class KeyValueStore;
}

namespace corvane {

class CorvaneAnimation;
class SplitShellCardBacking;
class SplitShellHandle;

// The two-pane frame of a glass window: a sidebar in a rounded card on the leading side and a
// content pane in the rest, over the HUD material under a tint. The caller collapses the
// sidebar; the user resizes it by dragging the thin handle on its trailing side, within the
// minimum and maximum width. With a persistence key the width a drag ends at is written under
// that key in the user defaults (once, on release: not at every step of the drag, and never
// when the shell starts), and the next shell starts from it: a stored width above 0, clamped
// into the bounds, else the ideal width as it is. Without a key the width is neither read nor
// written. The user defaults are the host's own store, which keeps away from a settings
// folder or file another user owns or may write (the width then reads as never stored).
//
// Width changes are never animated; collapsing or expanding slides the card out to the
// leading edge or in from it when asked to, over 0.2 s, and keeps the width.
//
// Where the window is too narrow for both panes the caller lets the sidebar float: the content
// then takes the whole shell and the card, while shown, lies over its leading side, raised by
// the kit's floating elevation and opaque, so that the content under it never shows through
// its texts, whatever the window's tint; the width stays as it is (no resize handle), and
// collapsing slides the card out as before.
class CorvaneSplitShell : public QWidget {
    Q_OBJECT

public:
    struct Config {
        bool isSidebarCollapsed = false;
        QColor baseColor = Color::black();
        double baseOpacity = 0;
        QColor sidebarCardColor = Color::black();
        double sidebarCardOpacity = 0;
        double minSidebarWidth = 220;
        double idealSidebarWidth = 300;
        double maxSidebarWidth = 400;
        std::optional<QString> persistenceKey{};
        // Where the width under the key is kept; without one, the host's standard user
        // defaults.
        std::shared_ptr<platform::KeyValueStore> userDefaults{};
        // The shell takes ownership of both.
        QWidget *sidebar = nullptr;
        QWidget *content = nullptr;
    };

    static constexpr CorvaneClock::Duration collapseSlide{200};
    static constexpr double cardRadius = 14;

    explicit CorvaneSplitShell(Config config, QWidget *parent = nullptr);
    ~CorvaneSplitShell() override;

    bool isSidebarCollapsed() const { return collapsed_; }
    void setSidebarCollapsed(bool collapsed, bool animated = false);
    bool isSidebarFloating() const { return floating_; }
    void setSidebarFloating(bool floating);
    double sidebarWidth() const { return width_; }
    double minSidebarWidth() const { return minimum_; }
    double maxSidebarWidth() const { return maximum_; }
    std::optional<QString> persistenceKey() const { return key_; }

    void setBaseColor(const QColor &color, double opacity);
    void setSidebarCardColor(const QColor &color, double opacity);

    QWidget *sidebar() const { return sidebar_; }
    QWidget *content() const { return content_; }
    QWidget *resizeHandle() const;
    // Where the card is now, in the shell.
    QRect cardGeometry() const;

    QSize minimumSizeHint() const override;

signals:
    void sidebarWidthChanged(double width);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class SplitShellHandle;
    friend class SplitShellCardBacking;

    void setWidth(double width);
    // Writes the width under the persistence key, when it differs from what is stored.
    void storeWidth();
    void setRevealed(double revealed);
    void relayout();
    // Shows the sidebar and, with it, the handle beside it or the backing under a floating
    // card; hides all three.
    void showParts(bool shown);
    // The card's fill and edge in `card`, on whatever lies under it.
    void paintCard(QPainter &painter, const QRect &card) const;

    QColor baseColor_;
    double baseOpacity_;
    QColor cardColor_;
    double cardOpacity_;
    double minimum_;
    double maximum_;
    std::optional<QString> key_;
    std::shared_ptr<platform::KeyValueStore> userDefaults_;
    QWidget *sidebar_;
    QWidget *content_;
    SplitShellHandle *handle_;
    SplitShellCardBacking *backing_;
    CorvaneAnimation *slide_;
    SidebarDrag drag_;
    double width_;
    bool collapsed_;
    bool floating_ = false;
    double revealed_;
};

} // namespace corvane
