#include "timecode/ui/demo/TimecodeDemoPages.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace timecode {
namespace {

// Every page builds, is named as its screen is, and draws at its size; the drawings land in
// the artifact folder for people to look at.
TEST(TimecodeDemoPages, RenderEveryScreen) {
    const std::vector<TimecodeDemoPage> pages = timecodeDemoPages();
    std::set<QString> names;
    for (const TimecodeDemoPage &page : pages) {
        const std::unique_ptr<QWidget> widget = page.build();
        names.insert(page.name);
        widget->resize(page.size);
        widget->show();
        // Everything fits: the layout asks for no more than the page's size.
        EXPECT_LE(widget->minimumSizeHint().width(), page.size.width()) << page.name.toStdString();
        EXPECT_LE(widget->minimumSizeHint().height(), page.size.height())
            << page.name.toStdString();
        const QImage image = widget->grab().toImage();
        EXPECT_EQ(image.size(), page.size * image.devicePixelRatio());
        if (const QByteArray folder = qgetenv("TEST_ARTIFACT_DIR"); !folder.isEmpty()) {
            QDir().mkpath(QString::fromLocal8Bit(folder));
            image.save(QString::fromLocal8Bit(folder) + "/" + page.name + ".png");
        }
    }
    EXPECT_EQ(names, (std::set<QString>{"timecode-field-default", "timecode-field-states",
                                        "timecode-field-drop", "timecode-field-days",
                                        "timecode-field-subframes", "timecode-field-editing",
                                        "timecode-field-highlight", "timecode-field-invalid",
                                        "timecode-text-styles", "timecode-textfield-formatter"}));
}

} // namespace
} // namespace timecode
