#pragma once

namespace tandrel {

// The host's own folders, narrowed once as it starts, since an earlier release, the wrapper
// or the umask of an earlier run may have left them open to others: "Tandrel" and the app
// group's folder in the user's data folder (with the drop folder in it) and the settings
// folder are the user's alone (0700), and so are the files the suite keeps in them (0600:
// settings, suite, snapshot, feedback queue, version marker). What is written into them
// later is made so.
void narrowPrivateFolders() noexcept;

} // namespace tandrel
