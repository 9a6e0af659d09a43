// Fuzzes the SMS PDU codec. Any phone can send the GSM phone a message, so a listed PDU text is
// untrusted: the decoder must take any byte string without reading past its end. The same input also
// drives the encoder, split into a text and a number at the first TAB.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "link/pdu_codec.h"

// Checks a promise the sanitizers cannot see; a broken one stops the run with its line.
#define REQUIRE(condition) ((condition) ? void() : fail(#condition, __LINE__))

namespace {

// A fault the sanitizers cannot see: a broken promise of the codec's interface.
[[noreturn]] void fail(const char* condition, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, line, condition);
    std::abort();
}

bool isUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

void checkDecode(std::string_view pdu) {
    hx350::PduDecodeStatus status = hx350::PduDecodeStatus::kComplete;
    const std::string text = hx350::PDUTextConversion(pdu, &status);
    // A user-data length octet counts at most 255 characters.
    REQUIRE(text.size() <= 255);
    switch (status) {
        case hx350::PduDecodeStatus::kImplausible:
        case hx350::PduDecodeStatus::kHeaderTruncated:
        case hx350::PduDecodeStatus::kHeaderNotHex:
        case hx350::PduDecodeStatus::kNoUserData:
            REQUIRE(text.empty());
            break;
        case hx350::PduDecodeStatus::kComplete:
            REQUIRE(!text.empty());
            break;
        case hx350::PduDecodeStatus::kUserDataShort:
        case hx350::PduDecodeStatus::kUserDataNotHex:
            break;
    }
    // The decoder is pure: the same text decodes the same way.
    REQUIRE(hx350::PDUTextConversion(pdu) == text);
}

void checkEncode(std::string_view text, std::string_view number) {
    const hx350::PduEncoding encoding = hx350::TextToPDUConversion(text, number);
    if (!encoding.ok()) {
        REQUIRE(encoding.pdu.empty());
        return;
    }
    REQUIRE(text.size() <= hx350::kMaxSmsTextLength);
    const std::string& pdu = encoding.pdu;
    // Hexadecimal digits in pairs, then exactly one NUL.
    REQUIRE(pdu.size() % 2 == 1 && pdu.back() == '\0');
    for (std::size_t i = 0; i + 1 < pdu.size(); ++i)
        REQUIRE(isUpperHex(pdu[i]));
    // What the tool sends, the tool reads back: the stored SMS-SUBMIT decodes to the text's septets
    // (as long as there is a text; an empty one has user-data length 0).
    hx350::PduDecodeStatus status = hx350::PduDecodeStatus::kComplete;
    const std::string back =
        hx350::PDUTextConversion(std::string_view(pdu).substr(0, pdu.size() - 1), &status);
    if (text.empty()) {
        REQUIRE(status == hx350::PduDecodeStatus::kNoUserData);
    } else {
        REQUIRE(status == hx350::PduDecodeStatus::kComplete);
        REQUIRE(back.size() == text.size());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkDecode(input);
    const std::size_t tab = input.find('\t');
    if (tab == std::string_view::npos) {
        checkEncode(input, "+491700350350");
    } else {
        checkEncode(input.substr(0, tab), input.substr(tab + 1));
    }
    return 0;
}
