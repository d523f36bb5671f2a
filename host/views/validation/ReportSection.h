#pragma once

#include <QColor>
#include <QWidget>

#include <cstddef>

class QVBoxLayout;

namespace tandrel {

// One list of a validation report in a tinted box: a row of the tint's symbol, the title and
// the list's full length, then the rows the caller adds.
class ReportSection : public QWidget {
    Q_OBJECT

public:
    ReportSection(const QString &title, size_t count, const QColor &tint,
                  const QString &systemImage, QWidget *parent = nullptr);

    // Adds a row under the earlier ones; the section takes ownership.
    void addRow(QWidget *row);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor tint_;
    QVBoxLayout *rows_;
};

} // namespace tandrel
