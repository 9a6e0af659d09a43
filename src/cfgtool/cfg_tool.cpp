#include "cfgtool/cfg_tool.h"

#include <optional>
#include <span>

#include "app/settings_file.h"
#include "app/settings_source.h"
#include "app/settings_text.h"
#include "cfgtool/module_commands.h"

namespace hx350::cfgtool {
namespace {

constexpr std::string_view kProgram = "hx350-cfg";

/// The command line after the command word: plain arguments, and the options the command allows.
struct Arguments {
    std::vector<std::string> plain;
    std::optional<std::string> output;  ///< -o FILE
    bool keep_missing = false;          ///< --keep-missing
};

class Command {
  public:
    Command(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    int fail(std::string_view message) {
        err_ << kProgram << ": " << message << '\n';
        return kExitError;
    }

    /// Splits `args` (after the command word); `options` lists what this command accepts.
    std::optional<Arguments> parse(std::span<const std::string> args, bool takes_output, bool takes_keep) {
        Arguments parsed;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (takes_output && (a == "-o" || a == "--output")) {
                if (i + 1 == args.size() || parsed.output) {
                    fail(parsed.output ? "-o given twice" : "-o needs a file name");
                    return std::nullopt;
                }
                parsed.output = args[++i];
            } else if (takes_keep && a == "--keep-missing") {
                parsed.keep_missing = true;
            } else if (a.size() > 1 && a[0] == '-' && a != "--") {
                fail("unknown option '" + a + "' (see --help)");
                return std::nullopt;
            } else {
                parsed.plain.push_back(a);
            }
        }
        return parsed;
    }

    std::optional<SettingsSource> read(const std::string& path) {
        SettingsSourceResult result = readSettingsSource(path);
        if (!result.source) {
            fail(result.error->describe());
            return std::nullopt;
        }
        return result.source;
    }

    bool writeText(const std::string& path, const std::string& text) {
        const std::string error = replaceFileWith(path, text);
        if (!error.empty()) fail(error);
        return error.empty();
    }

    bool writeRecord(const std::string& path, const SettingsRecord& record) {
        const SettingsFileStatus status = writeSettingsFile(path, record);
        if (!status.ok()) fail(path + ": " + status.context);
        return status.ok();
    }

    int exportText(std::span<const std::string> args) {
        const auto parsed = parse(args, true, false);
        if (!parsed) return kExitError;
        if (parsed->plain.size() != 1) return fail("export takes one settings file (see --help)");
        const auto source = read(parsed->plain[0]);
        if (!source) return kExitError;
        const std::string text = exportSettingsText(source->record);
        if (!parsed->output) {
            out_ << text;
            return out_.good() ? kExitOk : fail("cannot write to standard output");
        }
        return writeText(*parsed->output, text) ? kExitOk : kExitError;
    }

    int importText(std::span<const std::string> args) {
        const auto parsed = parse(args, true, true);
        if (!parsed) return kExitError;
        if (parsed->plain.size() != 1 || !parsed->output)
            return fail("import takes one settings text and -o FILE (see --help)");
        const std::string& path = parsed->plain[0];
        std::string content;
        if (const auto error = readWholeFile(path, content)) return fail(error->describe());
        if (!looksLikeSettingsText(content))
            return fail(path + ": not a settings text (NUL bytes or not UTF-8)");

        SettingsRecord record;
        if (parsed->keep_missing) {
            // The settings the text leaves out keep their values from the file being replaced.
            const auto base = read(*parsed->output);
            if (!base) return kExitError;
            if (base->kind != SettingsSourceKind::SettingsFile)
                return fail(*parsed->output + ": not a settings file, so it has no values to keep");
            record = base->record;
        }
        if (const auto error = importSettingsText(content, record, {.keep_missing = parsed->keep_missing}))
            return fail(SettingsSourceError{path, error, {}}.describe());
        return writeRecord(*parsed->output, record) ? kExitOk : kExitError;
    }

    int diff(std::span<const std::string> args) {
        const auto parsed = parse(args, false, false);
        if (!parsed) return kExitError;
        if (parsed->plain.size() != 2) return fail("diff takes two files (see --help)");
        const auto a = read(parsed->plain[0]);
        if (!a) return kExitError;
        const auto b = read(parsed->plain[1]);
        if (!b) return kExitError;
        const SettingsDifferences differences = compareSettings(a->record, b->record);
        for (const SettingsTextEntry* entry : differences.settings) {
            out_ << entry->key << ": " << settingsTextValue(a->record, *entry) << " -> "
                 << settingsTextValue(b->record, *entry) << "  # " << entry->label << '\n';
        }
        auto shown = [](const std::string& hex) { return hex.empty() ? std::string("00") : hex; };
        for (const ReservedDifference& r : differences.reserved)
            out_ << "reserved@" << r.offset << ": " << shown(r.a) << " -> " << shown(r.b)
                 << "  # reserved bytes\n";
        return differences.empty() ? kExitOk : kExitDifferent;
    }

    int get(std::span<const std::string> args) {
        const auto parsed = parse(args, false, false);
        if (!parsed) return kExitError;
        if (parsed->plain.size() < 2) return fail("get takes a file and at least one key (see --help)");
        const std::string& path = parsed->plain[0];
        std::vector<const SettingsTextEntry*> entries;
        for (std::size_t i = 1; i < parsed->plain.size(); ++i) {
            const SettingsTextEntry* entry = findSettingsTextEntry(parsed->plain[i]);
            if (entry == nullptr) return fail(parsed->plain[i] + ": unknown setting");
            entries.push_back(entry);
        }
        const auto source = read(path);
        if (!source) return kExitError;
        for (const SettingsTextEntry* entry : entries)
            out_ << settingsTextValue(source->record, *entry) << '\n';
        return kExitOk;
    }

    int set(std::span<const std::string> args) {
        const auto parsed = parse(args, false, false);
        if (!parsed) return kExitError;
        if (parsed->plain.size() < 2)
            return fail("set takes a settings file and at least one KEY=VALUE (see --help)");
        const std::string& path = parsed->plain[0];
        // The assignments are read as the lines of a text, so they are checked exactly as an import checks.
        std::string text;
        for (std::size_t i = 1; i < parsed->plain.size(); ++i) {
            const std::string& assignment = parsed->plain[i];
            if (assignment.find_first_of("\r\n") != std::string::npos)
                return fail("argument " + std::to_string(i) +
                            ": a value holds no line end (write it as \\n)");
            text += assignment;
            text += '\n';
        }
        const auto source = read(path);
        if (!source) return kExitError;
        if (source->kind != SettingsSourceKind::SettingsFile)
            return fail(path + ": set changes settings files, and this is a settings text");
        SettingsRecord record = source->record;
        if (const auto error = importSettingsText(text, record, {.keep_missing = true})) {
            std::string message = path + ": argument " + std::to_string(error->line) + ": ";
            if (!error->key.empty()) message += error->key + ": ";
            return fail(message + error->message);
        }
        return writeRecord(path, record) ? kExitOk : kExitError;
    }

  private:
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace

std::string replaceFileWith(const std::string& path, std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    SettingsFileOps ops;
    const SettingsFileStatus status = writeFileAtomically(path, std::span(bytes, text.size()), ops);
    return status.ok() ? std::string() : path + ": " + status.context;
}

std::string usageText() {
    return R"(Usage: hx350-cfg COMMAND ARGUMENTS
Settings files of the HX350 service tool (the 4204-byte record of HX350.cfg) and their text form.

  export FILE [-o TEXT]          write FILE as a settings text (to standard output without -o)
  import TEXT -o FILE [--keep-missing]
                                 write the settings text TEXT as the settings file FILE; with
                                 --keep-missing, settings TEXT leaves out keep their value in FILE
  diff A B                       list the settings that differ: key: A-value -> B-value  # label
  get FILE KEY...                print the value of each setting, one per line
  set FILE KEY=VALUE...          change settings of the settings file FILE in place

  write-all --port DEVICE FILE   write every setting of FILE to the module on DEVICE
  read-all --port DEVICE -o FILE read every setting the tool can read back into the settings
                                 file FILE (the others as a new window has them)
  verify --port DEVICE FILE      read the module and list the settings that differ from FILE:
                                 key: file-value -> module-value  # label
    --baud N                     9600, 19200 (default), 38400, 57600 or 115200
    --timeout SECONDS            wait for each answer (default 2)
    --report REPORT.csv          one line per step: step,label,command,answer,status
  These work in direct mode (a serial cable to the module), one command at a time, each after the
  module's answer to the last; Ctrl+C stops after the step under way. Progress goes to standard
  output: a bar on a terminal, a line per step otherwise.

A FILE, A or B may be a settings file or a settings text; they are told apart by content.
Values are written as in the text: numbers in decimal, true or false, texts in double quotes with
C escapes (\n, \", \\, \xHH); characters above 0x7F are Latin-1. Every change is checked as an import
checks it, and a file is replaced only when everything is right, atomically.

Exit status: 0 success (diff: no difference; a module command: every step answered and, for verify,
nothing differs), 1 diff found differences, or a module step failed, the run stopped early or a
setting differs, 2 error (the run could not start).
  --help, -h                     this text
  --version                      the version
)";
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool terminal) {
    Command command(out, err);
    if (args.empty()) {
        err << usageText();
        return kExitError;
    }
    const std::string& word = args[0];
    if (word == "--help" || word == "-h") {
        out << usageText();
        return kExitOk;
    }
    if (word == "--version") {
        out << kProgram << ' ' << HX350_CFG_VERSION << '\n';
        return kExitOk;
    }
    const std::span<const std::string> rest(args.begin() + 1, args.end());
    if (word == "export") return command.exportText(rest);
    if (word == "import") return command.importText(rest);
    if (word == "diff") return command.diff(rest);
    if (word == "get") return command.get(rest);
    if (word == "set") return command.set(rest);
    const ProgressStyle style = terminal ? ProgressStyle::Bar : ProgressStyle::Lines;
    if (word == "write-all") return runModuleCommand(ModuleRunKind::WriteAll, rest, out, err, style);
    if (word == "read-all") return runModuleCommand(ModuleRunKind::ReadAll, rest, out, err, style);
    if (word == "verify") return runModuleCommand(ModuleRunKind::Verify, rest, out, err, style);
    return command.fail("unknown command '" + word + "' (see --help)");
}

}  // namespace hx350::cfgtool
