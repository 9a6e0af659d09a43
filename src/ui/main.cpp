// hx350: the service tool's program. Sets up the application, builds the headless form and its window,
// runs the start-up sequence and the event loop until the window closes.
#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/form.h"
#include "serial/port_catalogue.h"
#include "ui/command_line.h"
#include "ui/first_paint.h"
#include "ui/main_window.h"
#include "ui/qt_timer.h"
#include "ui/qt_window_services.h"
#include "ui/simulator_process.h"
#include "ui/site_files.h"

namespace {

using hx350::ui::CommandLineResult;

int report(const CommandLineResult& result) {
    if (result.action == CommandLineResult::Action::Error) {
        std::fprintf(stderr, "hx350: %s\nTry 'hx350 --help' for more information.\n",
                     result.text.toLocal8Bit().constData());
        return 2;
    }
    std::fputs(result.text.toLocal8Bit().constData(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    hx350::ui::markMainEntered();
    // The command line is checked, and --help and --version answered, before the window system is
    // reached, so they work without a display.
    {
        QStringList raw;
        for (int i = 0; i < argc; ++i)
            raw.push_back(QString::fromLocal8Bit(argv[i]));
        const CommandLineResult early = hx350::ui::parseCommandLine(raw);
        if (early.action != CommandLineResult::Action::Run) return report(early);
    }

    QApplication app(argc, argv);
    // The user's preferences (never the settings file) live in ~/.config/hx350/hx350.conf.
    QCoreApplication::setOrganizationName(QStringLiteral("hx350"));
    QCoreApplication::setApplicationName(QStringLiteral("hx350"));
    hx350::ui::applyApplicationLook();
    const CommandLineResult command_line = hx350::ui::parseCommandLine(QApplication::arguments());
    if (command_line.action != CommandLineResult::Action::Run) return report(command_line);
    const hx350::ui::CommandLineOptions& options = command_line.options;

    hx350::PortCatalogue catalogue;
    for (const auto& [number, path] : options.ports)
        catalogue.setExplicit(number, path);
    hx350::ui::SimulatorProcess simulator;
    if (!options.simulate.isEmpty()) {
        QString error;
        const QString pty =
            simulator.start(hx350::ui::SimulatorProcess::besideProgram(), options.simulate, 5000, &error);
        if (pty.isEmpty()) {
            std::fprintf(stderr, "hx350: --simulate: %s\n", error.toLocal8Bit().constData());
            return 1;
        }
        catalogue.setExplicit(1, pty.toLocal8Bit().toStdString());
    }
    catalogue.rescan();

    // What the form runs on: Qt's timers and message boxes, the machine's clock and serial devices.
    hx350::ui::QtWindowServices services;
    hx350::ui::QtTimer poll_timer;
    hx350::ui::QtTimer timer1;
    hx350::ui::QtTimer quiet_gap_timer;
    const hx350::SystemClock clock;
    hx350::FormSeams seams;
    seams.port_path = [&catalogue](int number) { return catalogue.pathOf(number); };
    seams.catalogue = &catalogue;
    seams.clock = &clock;
    seams.poll_timer = &poll_timer;
    seams.timer1 = &timer1;
    seams.quiet_gap_timer = &quiet_gap_timer;
    seams.services = &services;
    seams.lock_folder = true;
    services.setUnattended(!options.screenshot_dir.isEmpty());
    QSettings preferences;
    hx350::TForm1 form(std::move(seams));
    hx350::ui::MainWindow window(form);
    services.setParentWindow(&window);
    // Start-up runs after the widgets are bound, so they show everything it loads; its message boxes
    // (a missing or short settings file) come before the window appears.
    form.FormCreate();
    // Preferences apply after start-up, which stays as designed; pictures are made with none of them.
    if (options.screenshot_dir.isEmpty())
        form.PromptAnswers.SetChecked(preferences.value(QStringLiteral("promptAnswers"), false).toBool());
    form.SetOnPromptAnswersChanged(
        [&preferences](bool on) { preferences.setValue(QStringLiteral("promptAnswers"), on); });
    hx350::ui::SiteFiles::of(window)->takeBaseline();  // the pages now hold what start-up read
    if (options.exit_after_first_paint) new hx350::ui::FirstPaintProbe(window);  // owned by the window
    window.show();

    if (!options.screenshot_dir.isEmpty()) {
        int status = 0;
        QTimer::singleShot(300, &window, [&] {
            QString error;
            if (!window.savePagePictures(options.screenshot_dir, &error)) {
                std::fprintf(stderr, "hx350: %s\n", error.toLocal8Bit().constData());
                status = 1;
            }
            window.close();
        });
        QApplication::exec();
        return status;
    }
    return QApplication::exec();
}
