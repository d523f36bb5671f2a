#pragma once

#include <QWidget>

class QHBoxLayout;

namespace corvane {

// The base of the kit's wrappers: a widget that holds one content widget inside margins and
// paints behind (and over) it. Where the content already sat in a parent's layout, the
// wrapper takes its place there, so a wrapper can be applied to a placed widget.
class ContentWrapper : public QWidget {
    Q_OBJECT

public:
    QWidget *content() const { return content_; }

protected:
    ContentWrapper(QWidget *content, QWidget *parent);
    void setPadding(int horizontal, int vertical);

private:
    QWidget *content_;
    QHBoxLayout *layout_;
};

} // namespace corvane
