#include "host/views/LibraryDrop.h"

#include <QFile>

namespace tandrel {

std::vector<std::filesystem::path> droppedLibraries(const QList<QUrl> &urls) {
    std::vector<std::filesystem::path> libraries;
    for (const QUrl &url : urls) {
        if (!url.isValid() || !url.isLocalFile()) {
            continue;
        }
        QString path = url.toLocalFile();
        // A folder's URL may end in a separator; its extension is its name's.
        while (path.size() > 1 && path.endsWith(u'/')) {
            path.chop(1);
        }
        const std::filesystem::path file(QFile::encodeName(path).toStdString());
        if (file.extension() == ".fcpbundle") {
            libraries.push_back(file);
        }
    }
    return libraries;
}

} // namespace tandrel
