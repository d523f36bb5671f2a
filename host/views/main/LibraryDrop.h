#pragma once

#include <QList>
#include <QUrl>

#include <filesystem>
#include <vector>

namespace tandrel {

// The editor libraries among the file URLs dropped on a main window: local files whose name
// ends in exactly ".fcpbundle" (case matters), in the order dropped. Anything else is left
// out without a word; the drop itself is accepted either way.
std::vector<std::filesystem::path> droppedLibraries(const QList<QUrl> &urls);

} // namespace tandrel
