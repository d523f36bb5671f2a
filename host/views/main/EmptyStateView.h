#pragma once

#include <QWidget>

namespace tandrel {

class AppState;
class LibraryPicker;

// The sidebar while no library is watched: an invitation to drop one on the window, to add
// one ("Add Library...") or to find the ones open in the editor.
class EmptyStateView : public QWidget {
    Q_OBJECT

public:
    EmptyStateView(AppState &state, LibraryPicker &picker, QWidget *parent = nullptr);
};

} // namespace tandrel
