#pragma once

#include <QWidget>

class QVBoxLayout;

namespace tandrel {

// Where a view that is still to come will sit: its symbol, its title and a line on what it will
// hold, centred. Views of later work replace it.
class PlaceholderView : public QWidget {
    Q_OBJECT

public:
    PlaceholderView(const QString &symbol, const QString &title, const QString &note,
                    QWidget *parent = nullptr);

    QString title() const { return title_; }
    // Under the note, for the few actions the placeholder already offers.
    QVBoxLayout *actions() const { return actions_; }

private:
    QString title_;
    QVBoxLayout *actions_;
};

} // namespace tandrel
