#include "params/event_texts.h"

#include "params/fields.h"

namespace hx350::params {

std::string slotField(int slot) {
    return twoDigits(slot);
}

std::string setExternalTextCommand(int slot, std::string_view text) {
    return "SETTX" + slotField(slot) + " " + std::string(text);
}

std::string setExternalTextEcho(int slot, std::string_view text) {
    return "SETTX" + slotField(slot) + "," + std::string(text);
}

std::string getExternalTextCommand(int slot) {
    return "GETTX" + slotField(slot) + " ";
}

std::string getExternalTextEcho(int slot) {
    return "GETTX" + slotField(slot);
}

std::string setShortTextCommand(int slot, std::string_view text) {
    return "SETTI" + slotField(slot) + " " + std::string(text);
}

std::string setShortTextEcho(int slot, std::string_view text) {
    return "SETTI" + slotField(slot) + "," + std::string(text);
}

std::string getShortTextCommand(int slot) {
    return "GETTI" + slotField(slot) + " ";
}

std::string getShortTextEcho(int slot) {
    return "GETTI" + slotField(slot);
}

std::string storedExternalText(std::string_view text) {
    return std::string(text.substr(0, kExternalTextCapacity));
}

std::string storedShortText(std::string_view text) {
    return std::string(text.substr(0, kShortTextCapacity));
}

}  // namespace hx350::params
