#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <vector>

class QAbstractButton;
class QLabel;

namespace tandrel {

class AppState;
class TextButton;
class UrlOpener;

// "Multiple libraries are open in Final Cut Pro": one button per library (its name; a library
// listed twice has two), then "Add All" and "Cancel". Each choice adds through `add`.
class LibraryChoiceDialog : public QDialog {
    Q_OBJECT

public:
    LibraryChoiceDialog(std::vector<std::filesystem::path> libraries,
                        std::function<void(const std::filesystem::path &)> add,
                        QWidget *parent = nullptr);

    // The buttons top to bottom: the libraries, "Add All", "Cancel".
    std::vector<QAbstractButton *> buttons() const { return buttons_; }

private:
    std::vector<QAbstractButton *> buttons_;
};

// "Detect from Final Cut Pro" in its two forms. Compact: the wand of the header row, whose
// tooltip tells the last detection's error. Full: the labelled button of the empty sidebar,
// with the error under it and, when the editor refused Automation, two ways to repair that.
// A detection adds the one new library it finds at once, and lets the user choose among two or
// more.
class DetectFromFCPButton : public QWidget {
    Q_OBJECT

public:
    DetectFromFCPButton(AppState &state, bool compact, UrlOpener &opener,
                        QWidget *parent = nullptr);
    // The desktop opens the system's settings.
    DetectFromFCPButton(AppState &state, bool compact, QWidget *parent = nullptr);

    bool isCompact() const { return compact_; }
    QAbstractButton *button() const { return button_; }

    void detect();
    void openAutomationSettings();
    // Puts the command that resets the host's Apple-events permission on the clipboard.
    void copyAutomationResetCommand();

    // The libraries of the last detection that found two or more new ones.
    const std::vector<std::filesystem::path> &multipleFound() const { return multipleFound_; }
    // The choice dialog while it is open.
    LibraryChoiceDialog *choiceDialog() const { return dialog_; }
    bool didCopyResetCommand() const { return didCopyResetCommand_; }

    // Full form only; null in the compact one.
    QLabel *errorLabel() const { return errorText_; }
    TextButton *openAutomationSettingsButton() const { return openSettings_; }
    TextButton *copyResetCommandButton() const { return copyCommand_; }
    QLabel *copiedHint() const { return copiedHint_; }
    // Whether the error block, the repair links and the hint show.
    bool showsError() const;
    bool showsRepair() const;
    bool showsCopiedHint() const;

private:
    QWidget *makeErrorBlock();
    void showError();

    AppState &state_;
    UrlOpener &opener_;
    bool compact_;
    std::vector<std::filesystem::path> multipleFound_;
    bool didCopyResetCommand_ = false;
    QPointer<LibraryChoiceDialog> dialog_;
    QAbstractButton *button_ = nullptr;
    QWidget *errorBlock_ = nullptr;
    QLabel *errorText_ = nullptr;
    QWidget *repair_ = nullptr;
    TextButton *openSettings_ = nullptr;
    TextButton *copyCommand_ = nullptr;
    QLabel *copiedHint_ = nullptr;
};

} // namespace tandrel
