#include "params/uplink.h"

#include "params/fields.h"

namespace hx350::params {

namespace {

struct UplinkRow {
    UplinkField field;
    std::string_view read_command;
    std::string_view write_prefix;
    bool read_logged;   // the read request is shown in the log memo
    bool write_logged;  // the write command is shown in the log memo
};

constexpr UplinkRow kRows[kUplinkFieldCount] = {
    {UplinkField::kApn, "GETAP ", "SETAP ", true, true},
    {UplinkField::kUserId, "GETID ", "SETID ", false, false},
    {UplinkField::kPassword, "GETPW ", "SETPW ", false, false},
    {UplinkField::kIpAddress, "GETIP ", "SETIP ", false, false},
    {UplinkField::kFtpHostName, "GETFT ", "SETFT,", false, true},
    {UplinkField::kFtpUserName, "GETAF ", "SETAF ", false, false},
    {UplinkField::kFtpPassword, "GETPF ", "SETPF ", false, false},
    {UplinkField::kFtpDirName, "GETDN ", "SETDN ", false, false},
    {UplinkField::kHttpHost1, "GETRH ", "SETRH,", true, true},
    {UplinkField::kHttpHost2, "GETR2 ", "SETR2,", true, true},
};

const UplinkRow& rowOf(UplinkField field) {
    for (const auto& row : kRows) {
        if (row.field == field) return row;
    }
    return kRows[0];  // unreachable: every enumerator has a row
}

bool startsWithBlank(std::string_view text) {
    return !text.empty() && static_cast<unsigned char>(text.front()) <= 0x20;
}

std::string cutAtFirstSpace(std::string_view text) {
    return std::string(text.substr(0, text.find(' ')));
}

bool isHttpHost(UplinkField field) {
    return field == UplinkField::kHttpHost1 || field == UplinkField::kHttpHost2;
}

}  // namespace

std::string uplinkReadCommand(UplinkField field) {
    return std::string(rowOf(field).read_command);
}

bool uplinkReadIsLogged(UplinkField field) {
    return rowOf(field).read_logged;
}

UplinkWrite uplinkWrite(UplinkField field, std::string_view text) {
    UplinkWrite write;
    if (field == UplinkField::kApn) {
        if (text.empty() || startsWithBlank(text)) {
            write.value = std::string(text);
            write.command = "SETAP    ";
            write.log = write.command;
        } else {
            write.value = cutAtFirstSpace(text);
            write.command = "SETAP " + write.value;
            write.log = "SETAP," + write.value;
        }
        return write;
    }

    if (isHttpHost(field) && text.empty()) {
        write.value = "   ";
    } else if (isHttpHost(field) && startsWithBlank(text)) {
        write.value = std::string(text);
    } else {
        write.value = cutAtFirstSpace(text);
    }
    const UplinkRow& row = rowOf(field);
    write.command = std::string(row.write_prefix) + write.value;
    if (row.write_logged) write.log = write.command;
    return write;
}

std::string maxErrorCommand(int position) {
    return "ESKTD" + twoDigits(position);
}

}  // namespace hx350::params
