// Recognisers for the GSM phone's answers to the tool's own AT queries (manufacturer, model, character set,
// clock, and the three settings made at start-up).
//
// A phone in TS 27.007 command mode with echo on answers a query with the echoed command, a line break and
// then the information line(s), for example "AT+CGMI" CR CR LF "PHONEMAKER" CR LF CR LF "OK" CR LF. The
// recognisers do not parse result codes: they take the value that follows the first line break, either
// the whole next line (value-line rule) or what follows a colon on it (colon rule, for "+CCLK: ..."-style
// information responses, TS 27.007 clause 4.1). Each query arms a flag; an armed recogniser looks at every
// received batch until its rule says the answer was taken.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hx350 {

/// One flag per AT query the tool sends to the phone. The values are bits of QueryFlags.
enum class QueryFlag : std::uint8_t {
    Manufacturer = 1u << 0,   ///< AT+CGMI (GetHersteller)
    Model = 1u << 1,          ///< AT+CGMM (GetModel)
    CharacterSet = 1u << 2,   ///< AT+CSCS? (GetCharSetClick)
    DateTime = 1u << 3,       ///< AT+CCLK? (GetDateTime)
    ListingMode = 1u << 4,    ///< AT+CMGL=1 sent as a start-up setting (SetCMGL1)
    MessageFormat = 1u << 5,  ///< AT+CMGF=0 (SetCMGF)
    ErrorReport = 1u << 6,    ///< AT+CMEE=2 (SetCMEE)
};

/// A set of armed query flags.
class QueryFlags {
  public:
    constexpr QueryFlags() = default;
    constexpr bool has(QueryFlag flag) const { return (bits_ & bit(flag)) != 0; }
    constexpr bool any() const { return bits_ != 0; }
    constexpr void set(QueryFlag flag) { bits_ = static_cast<std::uint8_t>(bits_ | bit(flag)); }
    constexpr void clear(QueryFlag flag) { bits_ = static_cast<std::uint8_t>(bits_ & ~bit(flag)); }
    constexpr void clearAll() { bits_ = 0; }
    friend constexpr bool operator==(QueryFlags, QueryFlags) = default;

  private:
    static constexpr std::uint8_t bit(QueryFlag flag) { return static_cast<std::uint8_t>(flag); }
    std::uint8_t bits_ = 0;
};

/// The values the recognisers keep, shown in the Main page edits Hersteller, ModelIDCode and DateTime.
struct QueryValues {
    std::string manufacturer;
    std::string model;
    std::string date_time;
    friend bool operator==(const QueryValues&, const QueryValues&) = default;
};

/// Where the value of an answer starts.
enum class AnswerRule : std::uint8_t {
    ValueLine,  ///< at the first character at or above 0x20 after the first line break
    Colon,      ///< after the first colon following that line break (and one space after it); a double
                ///< quote found before any colon starts the value itself
};

/// What one recogniser found in a batch.
struct AnswerScan {
    bool within_limit = false;  ///< the scans ended before the position limit: the batch was looked at
    std::string value;          ///< the value line without its CR; empty when none was found
    friend bool operator==(const AnswerScan&, const AnswerScan&) = default;
};

/// Scans one batch by `rule`. Positions count from 1; every scan stops at `limit` and at the end of the
/// batch, and the first line break is looked for from position 2 on (so a batch starting with CR LF is
/// read as an echo of one character). When a scan stops at the limit, within_limit is false and value
/// empty. Otherwise the value runs from its start to the character before the batch's last character,
/// cut before its first CR; without such a CR in the batch it is empty.
AnswerScan scanAnswer(std::string_view batch, AnswerRule rule, std::size_t limit);

/// When an armed recogniser is disarmed.
enum class DisarmWhen : std::uint8_t {
    ValueFound,   ///< only once a non-empty value was taken (a late answer is still taken)
    WithinLimit,  ///< as soon as a batch was scanned within the limit, value found or not
};

/// Which stored value a recogniser fills.
enum class AnswerStore : std::uint8_t { None, Manufacturer, Model, DateTime };

/// One row of the recogniser table.
struct AnswerRecogniser {
    QueryFlags armed_by;  ///< runs when any of these flags is set; clears all of them when disarmed
    AnswerRule rule;
    std::size_t limit;  ///< position (from 1) at which every scan stops
    AnswerStore store;  ///< a non-empty value goes here; an empty value leaves the store unchanged
    DisarmWhen disarm;
};

/// The recognisers, in the order they run on a batch.
const std::array<AnswerRecogniser, 6>& answerRecognisers();

/// Runs every armed recogniser of the table, in order, on one received batch (NUL bytes included).
/// Updates `values` and disarms `flags` by each row's rule.
void runAnswerRecognisers(std::string_view batch, QueryFlags& flags, QueryValues& values);

}  // namespace hx350
