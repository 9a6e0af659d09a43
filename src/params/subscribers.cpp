#include "params/subscribers.h"

#include "params/fields.h"

namespace hx350::params {

namespace {

// A position past the end of the text is neither "+" nor a digit.
bool digitAt(std::string_view text, std::size_t index) {
    return index < text.size() && isDecimalDigit(text[index]);
}

bool plusOrDigitAt(std::string_view text, std::size_t index) {
    return index < text.size() && (text[index] == '+' || isDecimalDigit(text[index]));
}

}  // namespace

std::string cutNumber(std::string_view text) {
    return std::string(text.substr(0, kNumberLength));
}

bool isAlarmNumberSendable(std::string_view number) {
    return plusOrDigitAt(number, 0) && digitAt(number, 1) && plusOrDigitAt(number, 2);
}

std::string phoneBookEntryOrPlaceholder(std::string_view entry) {
    if (plusOrDigitAt(entry, 0) && digitAt(entry, 1)) return std::string(entry);
    return std::string(kPhoneBookPlaceholder);
}

std::string setAlarmNumberCommand(int n, std::string_view number) {
    return "SETNN" + std::to_string(n) + " " + std::string(number);
}

std::string setAlarmNumberEcho(int n, std::string_view number) {
    return "SETNN" + std::to_string(n) + "," + std::string(number);
}

std::string clearAlarmNumberCommand(int n) {
    return "CLRNR" + std::to_string(n);
}

std::string getAlarmNumberCommand(int n) {
    return "GETNR" + std::to_string(n);
}

std::string setPhoneBookCommand(int n, std::string_view entry) {
    return "SETPB" + std::to_string(n) + " " + std::string(entry);
}

std::string readPhoneBookCommand() {
    return "  GETPB";
}

std::string readPhoneBookEcho() {
    return "GETPB";
}

}  // namespace hx350::params
