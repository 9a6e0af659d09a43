// The program's command line (GNU conventions, through QCommandLineParser).
#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <string>

namespace hx350::ui {

struct CommandLineOptions {
    /// --port COMn=DEVICE: port number n (1..16) -> device path, ahead of the detected devices.
    std::map<int, std::string> ports;
    /// --simulate[=module|phone]: start hx350-sim in that mode and put it on Com1; empty: no simulator.
    QString simulate;
    /// --screenshot-dir DIR (developer option): save a picture of every page into DIR and leave.
    QString screenshot_dir;
    /// --exit-after-first-paint (hidden developer option): print the milliseconds from process start to the
    /// first painted frame of the main window and exit.
    bool exit_after_first_paint = false;
};

struct CommandLineResult {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    CommandLineOptions options;
    /// The help or version text (Help, Version), or the error message (Error).
    QString text;
};

/// Parses `arguments` (the program name first, Qt's own options already taken out by QApplication).
/// Help and version win over errors, so they also work before the window system is reached.
CommandLineResult parseCommandLine(const QStringList& arguments);

}  // namespace hx350::ui
