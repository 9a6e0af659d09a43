#include "ui/command_line.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include "serial/port_catalogue.h"

namespace hx350::ui {

namespace {

constexpr auto kSimulateOption = "simulate";

QString versionText() {
    return QStringLiteral("hx350 %1\n").arg(QStringLiteral(HX350_VERSION));
}

}  // namespace

CommandLineResult parseCommandLine(const QStringList& arguments) {
    CommandLineResult result;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configuration and service tool for the HX350 GSM telemetry and alarm module.\n"
                       "Settings are read from and saved to HX350.cfg in the working folder."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Use DEVICE as port COMn (n = 1..16) on the Serial Port page, for instance a "
                       "pseudo-terminal or a /dev/serial/by-id/... link. May be repeated."),
        QStringLiteral("COMn=DEVICE"));
    const QCommandLineOption simulate(
        QString::fromLatin1(kSimulateOption),
        QStringLiteral("--simulate[=module|phone]: start the built-in simulator hx350-sim (the module on a "
                       "serial cable, or a GSM phone) on a pseudo-terminal as COM1, and end it on exit. "
                       "The default is module."));
    const QCommandLineOption screenshots(
        QStringLiteral("screenshot-dir"),
        QStringLiteral("Developer option: save a picture of every page into DIR as PNG files and exit."),
        QStringLiteral("DIR"));
    QCommandLineOption first_paint(QStringLiteral("exit-after-first-paint"));
    first_paint.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(port);
    parser.addOption(simulate);
    parser.addOption(screenshots);
    parser.addOption(first_paint);
    // Qt's own options ("-platform offscreen", "-style=fusion" ...) are known here too, hidden, so that the
    // whole command line is checked before the window system is reached; QApplication takes them out of
    // the arguments it gives back. Single-dash words are therefore read as long options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name : {"platform",
                             "platformpluginpath",
                             "platformtheme",
                             "plugin",
                             "qwindowgeometry",
                             "qwindowtitle",
                             "qwindowicon",
                             "session",
                             "display",
                             "geometry",
                             "style",
                             "stylesheet",
                             "qmljsdebugger",
                             "title",
                             "name",
                             "visual",
                             "fn",
                             "font",
                             "bg",
                             "background",
                             "fg",
                             "foreground",
                             "btn",
                             "button"}) {
        QCommandLineOption qt_option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qt_option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt_option);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync", "ncols", "cmap"}) {
        QCommandLineOption qt_flag(QString::fromLatin1(name));
        qt_flag.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt_flag);
    }

    // QCommandLineParser knows no optional option values: "--simulate=phone" is taken apart here, while a
    // bare "--simulate" never swallows the next argument.
    QStringList args;
    QString simulate_mode;
    bool simulate_value_given = false;
    bool options_end = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (i > 0 && !options_end) {
            if (arg == QStringLiteral("--")) {
                options_end = true;
            } else if (arg.startsWith(QStringLiteral("--simulate="))) {
                simulate_mode = arg.mid(static_cast<qsizetype>(qstrlen("--simulate=")));
                simulate_value_given = true;
                args.push_back(QStringLiteral("--simulate"));
                continue;
            }
        }
        args.push_back(arg);
    }

    const bool parsed = parser.parse(args);
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.action = CommandLineResult::Action::Help;
        result.text = parser.helpText();
        result.text.replace(QStringLiteral("<executable_name>"), QStringLiteral("hx350"));
        result.text += QStringLiteral(
            "\nQt's own options work as well, for instance -platform NAME, -style NAME, -reverse.\n");
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLineResult::Action::Version;
        result.text = versionText();
        return result;
    }
    const auto fail = [&result](const QString& message) {
        result.action = CommandLineResult::Action::Error;
        result.text = message;
        return result;
    };
    if (!parsed) return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().front()));

    static const QRegularExpression kPortPattern(QStringLiteral("^COM([0-9]+)=(.+)$"),
                                                 QRegularExpression::CaseInsensitiveOption);
    for (const QString& value : parser.values(port)) {
        const QRegularExpressionMatch match = kPortPattern.match(value);
        bool number_ok = false;
        const int number = match.hasMatch() ? match.captured(1).toInt(&number_ok) : 0;
        if (!match.hasMatch() || !number_ok || number < PortCatalogue::kFirstNumber ||
            number > PortCatalogue::kLastNumber) {
            return fail(QStringLiteral("--port needs COMn=DEVICE with n from %1 to %2, not '%3'")
                            .arg(PortCatalogue::kFirstNumber)
                            .arg(PortCatalogue::kLastNumber)
                            .arg(value));
        }
        result.options.ports[number] = match.captured(2).toLocal8Bit().toStdString();
    }

    if (parser.isSet(simulate)) {
        if (!simulate_value_given) simulate_mode = QStringLiteral("module");
        if (simulate_mode != QStringLiteral("module") && simulate_mode != QStringLiteral("phone"))
            return fail(QStringLiteral("--simulate takes module or phone, not '%1'").arg(simulate_mode));
        result.options.simulate = simulate_mode;
    }
    if (parser.isSet(screenshots)) result.options.screenshot_dir = parser.value(screenshots);
    result.options.exit_after_first_paint = parser.isSet(first_paint);
    return result;
}

}  // namespace hx350::ui
