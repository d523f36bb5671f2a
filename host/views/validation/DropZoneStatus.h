#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

#include <optional>
#include <string>

namespace tandrel {

class ElidedLabel;

// The last line of a validation drop zone: while a check runs, a small spinner and
// "Comparing…"; otherwise the name of the file loaded last, on one line, cut in the middle
// when long; nothing before the first file. Centred.
class DropZoneStatus : public QWidget {
    Q_OBJECT

public:
    struct Look {
        QFont font;
        QColor colour;
    };

    DropZoneStatus(const Look &progress, const Look &fileName, QWidget *parent = nullptr);

    void setFields(const std::optional<std::string> &loadedFileName, bool isRunning);

private:
    QWidget *progress_;
    ElidedLabel *fileName_;
};

} // namespace tandrel
