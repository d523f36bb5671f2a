#pragma once

#include <QWidget>

class QVBoxLayout;

namespace tandrel {

class AppState;

// The watched libraries, one row each: a badge, the name and whether the library is read,
// still being read or failed.
//
// Placeholder until the libraries bar comes: no hover, no remove button.
class LibrariesBar : public QWidget {
    Q_OBJECT

public:
    explicit LibrariesBar(AppState &state, QWidget *parent = nullptr);

private:
    void rebuild();

    AppState &state_;
    QVBoxLayout *rows_;
};

} // namespace tandrel
