#include "host/views/HostNotifications.h"

namespace tandrel {

void HostNotifications::postShowFeedbackSheet() {
    emit showFeedbackSheet();
}

} // namespace tandrel
