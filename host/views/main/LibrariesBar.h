#pragma once

#include "host/query/WatchedLibrary.h"
#include "host/views/main/LibrariesBarContent.h"

#include <QWidget>

#include <functional>
#include <vector>

class QAbstractButton;
class QHBoxLayout;
class QVBoxLayout;

namespace tandrel {

class AppState;
class ElidedLabel;

// One watched library: its badge, its name (shortened in the middle), whether it is read,
// still being read or failed, and, while the pointer is over the row, a button that removes it.
class LibraryRow : public QWidget {
    Q_OBJECT

public:
    LibraryRow(const WatchedLibrary &library, std::function<void()> onRemove,
               QWidget *parent = nullptr);

    const WatchedLibrary &library() const { return library_; }
    // A later reading of the same library: its name and status follow.
    void setLibrary(const WatchedLibrary &library);

    bool isHovering() const { return isHovering_; }
    LibrariesBarContent::Status status() const { return status_; }
    ElidedLabel *nameLabel() const { return name_; }
    QWidget *statusIcon() const { return statusIcon_; }
    QAbstractButton *removeButton() const { return remove_; }

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setHovering(bool hovering);
    void showStatus();

    WatchedLibrary library_;
    bool isHovering_ = false;
    LibrariesBarContent::Status status_ = LibrariesBarContent::Status::reading;
    QHBoxLayout *layout_;
    ElidedLabel *name_;
    QWidget *statusIcon_ = nullptr;
    // What the status icon's tooltip says of a failure; empty without one.
    QString failure_;
    QAbstractButton *remove_;
};

// The libraries the host watches, one row each, in the order they were added. A row's remove
// button removes the library it shows, found by its id at the click.
class LibrariesBar : public QWidget {
    Q_OBJECT

public:
    explicit LibrariesBar(AppState &state, QWidget *parent = nullptr);

    std::vector<LibraryRow *> rows() const { return rows_; }

private:
    void refresh();
    void remove(const Uuid &id);

    AppState &state_;
    QVBoxLayout *stack_;
    std::vector<LibraryRow *> rows_;
};

} // namespace tandrel
