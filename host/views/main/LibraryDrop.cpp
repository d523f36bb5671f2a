#include "host/views/main/LibraryDrop.h"

#include "host/query/WatchedLibrary.h"

#include <QFile>

namespace tandrel {

std::vector<std::filesystem::path> droppedLibraries(const QList<QUrl> &urls) {
    std::vector<std::filesystem::path> libraries;
    for (const QUrl &url : urls) {
        if (!url.isValid() || !url.isLocalFile()) {
            continue;
        }
        // A folder's URL may end in a separator; its extension is its name's.
        const std::filesystem::path folder =
            WatchedLibrary::folderOf(QFile::encodeName(url.toLocalFile()).toStdString());
        if (WatchedLibrary::isLibraryFolder(folder)) {
            libraries.push_back(folder);
        }
    }
    return libraries;
}

} // namespace tandrel
