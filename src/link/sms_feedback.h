// What the window tells the technician about an SMS-mode exchange while it runs.
//
// In SMS mode a module command travels as an SMS and the module answers with an SMS that the phone keeps
// until the next listing, up to 21 idle seconds later; without a word from the tool the window looks idle
// for the better part of a minute. SmsFeedback follows the exchange from the events the device link
// reports (command announced, confirmed or refused by the phone, message listed, tick) and keeps one line
// for the status bar. It only reads time and writes nothing: what goes on the line is the link's business.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hx350 {

/// A click dropped because the phone is still busy with the previous SMS.
inline constexpr std::string_view kNotSentBusyText =
    "Not sent: the previous SMS is still being sent; try again when it is done";
/// A message from the module's number was listed while an answer was awaited.
inline constexpr std::string_view kAnswerReceivedText = "Answer received";
/// No message was listed for kNoAnswerMs since the last command went out.
inline constexpr std::string_view kNoAnswerText =
    "No answer from the module for 5 min: check the module number and its SIM";
/// How long after a command the missing answer is pointed out.
inline constexpr std::uint32_t kNoAnswerMs = 5 * 60 * 1000;
/// How many trailing digits identify a subscriber: national and international forms of one number
/// ("0176 1234567", "+49 176 1234567") share them.
inline constexpr std::size_t kSubscriberDigits = 7;

/// "Sending GETST to +4917612345678 (SMS)": the bare command, control characters and trailing blanks
/// left out, and the module's number as BRnumber holds it.
std::string sendingText(std::string_view command, std::string_view number);
/// "Sent; waiting for the module's answer (next check in 17 s)".
std::string waitingText(int seconds_to_listing);
/// "The phone refused the SMS: +CMS ERROR: 500", with the phone's own words.
std::string refusedText(std::string_view words);
/// "SMS from +4915112345678 (not the module's number)"; "an unknown number" when the sender is empty.
std::string foreignSenderText(std::string_view sender);

/// The phone's final error result in a received batch, as it wrote it: a line "ERROR", or a line that
/// starts with "+CMS ERROR:" (TS 27.005 clause 3.2.5) or "+CME ERROR:" (TS 27.007 clause 9.2). Nothing when
/// the batch holds none. Lines are separated by CR or LF; blanks around a line are ignored.
std::optional<std::string> phoneRefusal(std::string_view batch);

/// Whether `sender` is the module's number: both end in the same kSubscriberDigits digits (all of
/// them when either has fewer). Characters other than digits are ignored; a side without digits matches
/// nothing.
bool sameSubscriber(std::string_view sender, std::string_view module_number);

/// How the last command SMS fared with the phone, for whatever waits on it (a sequence of commands
/// counts a refused one as a failed step).
enum class SmsOutcome {
    None,       ///< no command SMS since start-up
    Pending,    ///< announced with AT+CMGS; the phone has not confirmed it yet
    Confirmed,  ///< the phone confirmed it without an error
    Refused,    ///< the phone answered AT+CMGS or the PDU with an error result
    GivenUp,    ///< the phone never answered; the exchange was given up
};

class SmsFeedback {
  public:
    /// The current line for the status bar ("" before any exchange).
    const std::string& text() const { return text_; }
    /// Incremented whenever text() is set, even to the same words, so a repeated message is shown again.
    std::uint64_t revision() const { return revision_; }

    /// A command SMS was announced to the phone at `now_ms`. Starts the wait for an answer.
    void sending(std::string_view command, std::string_view number, std::uint32_t now_ms);
    /// A command was dropped because the phone was busy.
    void dropped();
    /// The phone refused the command SMS with `words`.
    void refused(std::string_view words);
    /// The phone confirmed the command SMS; the next listing is `seconds_to_listing` idle seconds away.
    void confirmed(int seconds_to_listing);
    /// The phone never finished the exchange; the window says so in a box of its own.
    void givenUp();
    /// A message from `sender` was listed; `from_module` says whether that is the module's number.
    void listed(std::string_view sender, bool from_module);
    /// One tick of the exchange timer at `now_ms`, the next listing `seconds_to_listing` idle seconds
    /// away: counts down while waiting, and points out a missing answer after kNoAnswerMs.
    void tick(std::uint32_t now_ms, int seconds_to_listing);

  private:
    enum class Stage { Idle, Sending, Waiting, Foreign, Answered, NoAnswer, Refused };
    void show(std::string text);

    Stage stage_ = Stage::Idle;
    bool awaiting_answer_ = false;  // a command went out and no message from the module came since
    bool watching_ = false;         // no message at all was listed since the last command
    std::uint32_t sent_at_ms_ = 0;
    std::string text_;
    std::uint64_t revision_ = 0;
};

}  // namespace hx350
