// The program's command line.
#include <QTest>

#include "ui/command_line.h"

using hx350::ui::CommandLineResult;
using hx350::ui::parseCommandLine;
using Action = CommandLineResult::Action;

Q_DECLARE_METATYPE(CommandLineResult::Action)

class CommandLineTest : public QObject {
    Q_OBJECT

    static CommandLineResult parse(QStringList args) {
        args.prepend(QStringLiteral("hx350"));
        return parseCommandLine(args);
    }

  private slots:
    void noArgumentsRuns() {
        const CommandLineResult r = parse({});
        QCOMPARE(r.action, Action::Run);
        QVERIFY(r.options.ports.empty());
        QVERIFY(r.options.simulate.isEmpty());
        QVERIFY(r.options.screenshot_dir.isEmpty());
    }

    void portMappings() {
        const CommandLineResult r = parse({QStringLiteral("--port"), QStringLiteral("COM3=/dev/pts/7"),
                                           QStringLiteral("--port=com16=/dev/serial/by-id/usb-x=y"),
                                           QStringLiteral("--port"), QStringLiteral("COM1=/dev/ttyUSB0")});
        QCOMPARE(r.action, Action::Run);
        QCOMPARE(r.options.ports.size(), std::size_t{3});
        QCOMPARE(r.options.ports.at(3), std::string("/dev/pts/7"));
        QCOMPARE(r.options.ports.at(16), std::string("/dev/serial/by-id/usb-x=y"));
        QCOMPARE(r.options.ports.at(1), std::string("/dev/ttyUSB0"));
    }

    void badPortMappings_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("number 0") << "COM0=/dev/x";
        QTest::newRow("number 17") << "COM17=/dev/x";
        QTest::newRow("no device") << "COM2=";
        QTest::newRow("no number") << "COM=/dev/x";
        QTest::newRow("not a port") << "/dev/ttyUSB0";
        QTest::newRow("huge number") << "COM99999999999=/dev/x";
    }

    void badPortMappings() {
        QFETCH(QString, value);
        const CommandLineResult r = parse({QStringLiteral("--port"), value});
        QCOMPARE(r.action, Action::Error);
        QVERIFY(r.text.contains(QStringLiteral("COMn=DEVICE")));
    }

    void simulateTakesAnOptionalMode_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<CommandLineResult::Action>("action");
        QTest::addColumn<QString>("mode");
        QTest::newRow("default") << QStringList{"--simulate"} << Action::Run << "module";
        QTest::newRow("module") << QStringList{"--simulate=module"} << Action::Run << "module";
        QTest::newRow("phone") << QStringList{"--simulate=phone"} << Action::Run << "phone";
        QTest::newRow("unknown mode") << QStringList{"--simulate=modem"} << Action::Error << "";
        QTest::newRow("empty mode") << QStringList{"--simulate="} << Action::Error << "";
        // A bare --simulate never takes the next argument as its mode.
        QTest::newRow("next is a stray argument")
            << QStringList{"--simulate", "phone"} << Action::Error << "";
        QTest::newRow("after --") << QStringList{"--", "--simulate=phone"} << Action::Error << "";
    }

    void simulateTakesAnOptionalMode() {
        QFETCH(QStringList, args);
        QFETCH(CommandLineResult::Action, action);
        QFETCH(QString, mode);
        const CommandLineResult r = parse(args);
        QCOMPARE(r.action, action);
        if (action == Action::Run) QCOMPARE(r.options.simulate, mode);
    }

    void simulateWithPortMappings() {
        const CommandLineResult r = parse(
            {QStringLiteral("--simulate"), QStringLiteral("--port"), QStringLiteral("COM2=/dev/pts/3")});
        QCOMPARE(r.action, Action::Run);
        QCOMPARE(r.options.simulate, QStringLiteral("module"));
        QCOMPARE(r.options.ports.at(2), std::string("/dev/pts/3"));
    }

    void helpAndVersion() {
        const CommandLineResult help = parse({QStringLiteral("--help")});
        QCOMPARE(help.action, Action::Help);
        for (const char* word : {"--port", "COMn=DEVICE", "--simulate", "module|phone", "--version",
                                 "--screenshot-dir", "Developer option"})
            QVERIFY2(help.text.contains(QLatin1String(word)), word);
        QCOMPARE(parse({QStringLiteral("-h")}).action, Action::Help);
        const CommandLineResult version = parse({QStringLiteral("--version")});
        QCOMPARE(version.action, Action::Version);
        QVERIFY(version.text.startsWith(QStringLiteral("hx350 ")));
        // Before the window system has taken out its own options, help still answers.
        QCOMPARE(parse({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--help")})
                     .action,
                 Action::Help);
    }

    void unknownOptionIsAnError() {
        const CommandLineResult r = parse({QStringLiteral("--frobnicate")});
        QCOMPARE(r.action, Action::Error);
        QVERIFY(r.text.contains(QStringLiteral("frobnicate")));
    }

    void screenshotFolder() {
        const CommandLineResult r = parse({QStringLiteral("--screenshot-dir"), QStringLiteral("/tmp/x")});
        QCOMPARE(r.action, Action::Run);
        QCOMPARE(r.options.screenshot_dir, QStringLiteral("/tmp/x"));
    }

    void firstPaintTimingIsHidden() {
        QVERIFY(!parse({}).options.exit_after_first_paint);
        const CommandLineResult r = parse({QStringLiteral("--exit-after-first-paint")});
        QCOMPARE(r.action, Action::Run);
        QVERIFY(r.options.exit_after_first_paint);
        QVERIFY(!parse({QStringLiteral("--help")}).text.contains(QStringLiteral("first-paint")));
        // A developer option takes no value.
        QCOMPARE(parse({QStringLiteral("--exit-after-first-paint=1")}).action, Action::Error);
    }
};

QTEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
