#pragma once

// What the validation views' tests share: checks started through a run function that the
// test ends itself, in any order; drops made of file locations; a state object over
// generated libraries; and the texts a view shows, in order.

#include "core/tests/LibraryFixture.h"
#include "host/query/tests/QueryFixture.h"
#include "host/state/AppState.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/common/WrappingLabel.h"
#include "host/views/validation/ValidationRunController.h"
#include "host/views/validation/tests/StateValidation.h"
#include "platform/runtime/MainQueue.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tandrel::testing {

// A run function that only notes each check; the test ends them.
class PendingChecks {
public:
    ValidationRunController::RunFunction runFunction() {
        return
            [this](const std::filesystem::path &fcpxml, ValidationRunController::Completion done) {
                files.push_back(fcpxml);
                completions.push_back(std::move(done));
            };
    }
    size_t count() const { return files.size(); }
    // Ends check `index` (in the order they started).
    void succeed(size_t index, std::string sequenceName = "Main Edit") {
        TimelineValidator::ValidationReport report;
        report.sequenceName = std::move(sequenceName);
        report.sequenceKind = "project";
        completions.at(index)(std::move(report));
    }
    void fail(size_t index, std::string description) {
        completions.at(index)(ValidationRuns::Failure{std::move(description)});
    }

    std::vector<std::filesystem::path> files;
    std::vector<ValidationRunController::Completion> completions;
};

// A drag's data: a list of locations, and other kinds of data beside it.
inline std::unique_ptr<QMimeData> dropOf(const std::vector<QUrl> &urls) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls(QList<QUrl>(urls.begin(), urls.end()));
    return data;
}

// Drags `data` onto `target` and drops it there, as the window system does; whether the
// target took the drag and the drop.
inline bool dragAndDrop(QWidget *target, const QMimeData &data) {
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// The texts of the view and of everything in it that would show with it, in the order they
// were made, which is the order the views lay them out in.
inline std::vector<std::string> shownTexts(const QWidget *view) {
    std::vector<std::string> texts;
    const auto add = [&](const QWidget *widget) {
        QString text;
        if (const auto *label = qobject_cast<const QLabel *>(widget)) {
            text = label->text();
        } else if (const auto *wrapping = qobject_cast<const WrappingLabel *>(widget)) {
            text = wrapping->text();
        } else if (const auto *elided = qobject_cast<const ElidedLabel *>(widget)) {
            text = elided->text();
        } else if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
            text = button->text();
        }
        if (!text.isEmpty()) {
            texts.push_back(text.toStdString());
        }
    };
    std::vector<const QWidget *> stack{view};
    while (!stack.empty()) {
        const QWidget *widget = stack.back();
        stack.pop_back();
        add(widget);
        const QObjectList children = widget->children();
        for (auto child = children.rbegin(); child != children.rend(); ++child) {
            const auto *childWidget = qobject_cast<const QWidget *>(*child);
            if (childWidget && !childWidget->isWindow() && !childWidget->isHidden()) {
                stack.push_back(childWidget);
            }
        }
    }
    return texts;
}

// A generated library with one timeline, "Main Edit", which a state object serves as soon as
// it loads the library, being its only one.
class LibraryFixture {
public:
    LibraryFixture() {
        bundle_ = sample::SampleLibraryWriter::write(describedLibrary("Solo", {{"Main Edit", 3}}),
                                                     folder_.path());
    }
    const std::filesystem::path &bundle() const { return bundle_; }

    // Loads the library into the state object, as the host does from its main queue.
    void loadInto(AppState &state) const {
        state.addLibrary(bundle_);
        platform::MainQueue::runPending();
    }

private:
    ScratchFolder folder_;
    std::filesystem::path bundle_;
};

// A view's test: a state object with no library yet, the library written once for the
// suite, checks the test ends, and what the chooser answers.
class ViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { library = new LibraryFixture; }
    static void TearDownTestSuite() { delete library; }

    AppState state{stateServices()};
    PendingChecks checks;
    std::optional<std::filesystem::path> chosen;

    static inline LibraryFixture *library = nullptr;
};

} // namespace tandrel::testing
