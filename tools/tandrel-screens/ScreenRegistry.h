#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace tandrel::screens {

// Registering screens. A screen is one view in one state, written as
// out/screens/<area>-<view>-<state>.png: a name of at least three lower-case, hyphen-separated
// words, a size in points, and a function that builds the widget in that state. Each area
// registers its screens in a file of its own, added to the tool's sources in
// tools/tandrel-screens/CMakeLists.txt:
//
//     #include "tools/tandrel-screens/ScreenRegistry.h"
//
//     namespace {
//     std::unique_ptr<QWidget> emptyLibrary(const tandrel::screens::ScreenContext &context) {
//         ...   // build the view; context.library is the sample library
//     }
//     const tandrel::screens::ScreenRegistration screens{
//         {"host-sidebar-empty", {360, 640}, emptyLibrary},
//     };
//     } // namespace
//
// Each screen is built in a process of its own, with private, empty XDG folders (data,
// config, cache, state, runtime) under `context.home`, already set in the environment before
// the QApplication is made. So a screen may write settings or files to set up its state;
// nothing leaks between screens. The tool shows the widget offscreen at its size, delivers
// posted events (a builder may post work that needs the shown window) and writes what it
// draws. A builder that cannot build throws std::exception; the tool reports it and fails.
struct ScreenContext {
    // The sample library bundle (--library), or empty when none was given.
    QString library;
    // The root of this screen's private XDG folders.
    QString home;
    // Drawn from the library as an attacker named it (tandrel-screens --hostile): `library`
    // is then that library, and every name a screen gives of the sample's (a timeline to
    // serve, a card to open) is to be looked up through screens::named and folderNamed.
    bool hostile = false;
};

using ScreenBuilder = std::function<std::unique_ptr<QWidget>(const ScreenContext &)>;

struct Screen {
    QString name;
    QSize size;
    ScreenBuilder build;
};

class ScreenRegistry {
public:
    static ScreenRegistry &shared();

    // Ends the program with a message on a name that is malformed or taken: a registration
    // mistake should not get as far as a run.
    void add(Screen screen);
    // Every screen, ordered by name.
    std::vector<const Screen *> screens() const;
    const Screen *find(const QString &name) const;

    static bool isValidName(const QString &name);

private:
    std::vector<Screen> screens_;
};

// Registers screens when the program starts; one static object per area's file.
struct ScreenRegistration {
    ScreenRegistration(std::initializer_list<Screen> screens);
};

} // namespace tandrel::screens
