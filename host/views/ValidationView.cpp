#include "host/views/ValidationView.h"

namespace tandrel {

ValidationView::ValidationView(AppState &, QWidget *parent)
    : PlaceholderView(
          QStringLiteral("checkmark.seal"), QStringLiteral("Validate Against FCPXML"),
          QStringLiteral(
              "The served timeline's edit list compared with the editor's FCPXML export of it."),
          parent) {}

} // namespace tandrel
