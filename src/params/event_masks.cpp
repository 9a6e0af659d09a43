#include "params/event_masks.h"

namespace hx350::params {

namespace {

// Index of a 1-based position inside `text`, or nullopt when the text has no such position.
std::optional<std::size_t> indexOf(std::string_view text, int position) {
    if (position < 1 || static_cast<std::size_t>(position) > text.size()) return std::nullopt;
    return static_cast<std::size_t>(position - 1);
}

bool isSingleBit(int bit) {
    return bit == 1 || bit == 2 || bit == 4 || bit == 8;
}

}  // namespace

std::optional<int> hexDigitValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return std::nullopt;
}

char hexDigitChar(int value) {
    return "0123456789ABCDEF"[value & 0xF];
}

int subscriberBit(int subscriber) {
    return subscriber >= 1 && subscriber <= 4 ? 1 << (subscriber - 1) : 0;
}

int HEXfromCheckBox(int value, int bit) {
    return isSingleBit(bit) ? (value | bit) : value;
}

int HEXfromUnCheckBox(int value, int bit) {
    return isSingleBit(bit) ? (value & ~bit) : value;
}

std::string withSubscriberBox(std::string_view text, int position, int subscriber, bool checked) {
    std::string result(text);
    const auto index = indexOf(text, position);
    if (!index) return result;
    const auto value = hexDigitValue(text[*index]);
    if (!value) return result;
    const int bit = subscriberBit(subscriber);
    result[*index] = hexDigitChar(checked ? HEXfromCheckBox(*value, bit) : HEXfromUnCheckBox(*value, bit));
    return result;
}

MaskAndParked disableSource(std::string_view mask, char parked, int position) {
    MaskAndParked result{std::string(mask), parked};
    if (const auto index = indexOf(mask, position)) {
        result.parked = mask[*index];
        result.mask[*index] = kDisabledSource;
    }
    return result;
}

MaskAndParked enableSource(std::string_view mask, char parked, int position) {
    MaskAndParked result{std::string(mask), parked};
    if (const auto index = indexOf(mask, position)) {
        result.mask[*index] = hexDigitValue(parked) ? parked : '0';
    }
    return result;
}

SourceBoxes decodeMaskCharacter(char ch) {
    SourceBoxes boxes;
    if (const auto value = hexDigitValue(ch)) {
        boxes.disabled = false;
        for (int k = 0; k < 4; ++k)
            boxes.subscriber[k] = ((*value >> k) & 1) != 0;
    }
    return boxes;
}

std::string savedMaskOrDefault(MaskKind kind, std::string_view saved) {
    if (!saved.empty()) return std::string(saved);
    return kind == MaskKind::kDigital ? "0000000" : "--00";
}

std::string setMasksCommand(std::string_view temperature, std::string_view analog, std::string_view digital) {
    return "SETME," + std::string(temperature) + "," + std::string(analog) + "," +
           std::string(digital.substr(0, kSentDigitalPositions)) + " ";
}

}  // namespace hx350::params
