#pragma once

#include <QColor>
#include <QWidget>

namespace tandrel {

// One of the host's own single-colour images ("FCPSequenceGlyph", "FCPLibraryGlyph",
// "FCPEventGlyph"), drawn as a template: every painted point takes the tint. The image keeps
// its square, `side` points, centred in a box `boxWidth` points wide.
class TemplateGlyphView : public QWidget {
    Q_OBJECT

public:
    TemplateGlyphView(const QString &name, const QColor &tint, double side, double boxWidth,
                      QWidget *parent = nullptr);

    QString name() const { return name_; }
    QColor tint() const { return tint_; }
    // Whether the host carries an image of that name.
    static bool exists(const QString &name);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString name_;
    QColor tint_;
    double side_;
    double boxWidth_;
};

} // namespace tandrel
