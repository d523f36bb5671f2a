#include "host/views/main/HostNotifications.h"

namespace tandrel {

void HostNotifications::postShowFeedbackSheet() {
    emit showFeedbackSheet();
}

} // namespace tandrel
