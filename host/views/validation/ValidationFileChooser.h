#pragma once

#include <QFileDialog>

#include <filesystem>
#include <functional>
#include <optional>

namespace tandrel {

// The validation views' file chooser: Qt's own dialog (so that it behaves alike on every
// desktop) for one existing file, where a ".fcpxmld" bundle is picked as one item, never
// browsed into: selecting it and confirming, or opening it, chooses it. Shows FCPXML files,
// bundles and XML; titled with the message that says what to choose.
class ValidationFileChooser : public QFileDialog {
    Q_OBJECT

public:
    // Shows a chooser over a view and answers what was chosen, nothing when cancelled. The
    // views take it as a parameter, so that tests choose without a dialog.
    using Choose = std::function<std::optional<std::filesystem::path>(QWidget *parent)>;
    // Shows a chooser over a view without waiting for it, and hands what was chosen to the
    // answer once the user has chosen; nothing when cancelled, or when the view went first.
    using Chosen = std::function<void(const std::filesystem::path &file)>;
    using ChooseLater = std::function<void(QWidget *parent, Chosen chosen)>;

    explicit ValidationFileChooser(QWidget *parent = nullptr);

    // The file or bundle chosen; nothing until the dialog is accepted.
    std::optional<std::filesystem::path> chosen() const { return chosen_; }

    // Shows the chooser modally over `parent` (the standard Choose).
    static std::optional<std::filesystem::path> choose(QWidget *parent);
    // Opens the chooser over `parent`'s window and returns at once, with no loop of its own
    // (the standard ChooseLater): `parent` may go while it is open, which closes it unanswered.
    static void openOver(QWidget *parent, Chosen chosen);

    static bool isBundle(const QString &path);

public slots:
    void accept() override;

private:
    void pick(const QString &path);

    std::optional<std::filesystem::path> chosen_;
};

} // namespace tandrel
