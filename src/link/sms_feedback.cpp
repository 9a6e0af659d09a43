#include "link/sms_feedback.h"

#include <algorithm>

#include "base/clock.h"

namespace hx350 {

namespace {

bool isBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string digitsOf(std::string_view number) {
    std::string digits;
    for (char ch : number) {
        if (ch >= '0' && ch <= '9') digits += ch;
    }
    return digits;
}

}  // namespace

std::string sendingText(std::string_view command, std::string_view number) {
    std::string shown;
    for (char ch : command) {
        const auto code = static_cast<unsigned char>(ch);
        shown += code < 0x20 || code == 0x7F ? ' ' : ch;
    }
    return "Sending " + std::string(trimmed(shown)) + " to " + std::string(number) + " (SMS)";
}

std::string waitingText(int seconds_to_listing) {
    return "Sent; waiting for the module's answer (next check in " + std::to_string(seconds_to_listing) +
           " s)";
}

std::string refusedText(std::string_view words) {
    return "The phone refused the SMS: " + std::string(words);
}

std::string foreignSenderText(std::string_view sender) {
    return "SMS from " + (sender.empty() ? std::string("an unknown number") : std::string(sender)) +
           " (not the module's number)";
}

std::optional<std::string> phoneRefusal(std::string_view batch) {
    while (!batch.empty()) {
        const std::size_t end = batch.find_first_of("\r\n");
        const std::string_view line = trimmed(batch.substr(0, end));
        if (line == "ERROR" || line.starts_with("+CMS ERROR:") || line.starts_with("+CME ERROR:")) {
            return std::string(line);
        }
        if (end == std::string_view::npos) break;
        batch.remove_prefix(end + 1);
    }
    return std::nullopt;
}

bool sameSubscriber(std::string_view sender, std::string_view module_number) {
    const std::string a = digitsOf(sender);
    const std::string b = digitsOf(module_number);
    if (a.empty() || b.empty()) return false;
    const std::size_t n = std::min({a.size(), b.size(), kSubscriberDigits});
    return a.compare(a.size() - n, n, b, b.size() - n, n) == 0 &&
           (n == kSubscriberDigits || a.size() == b.size());
}

void SmsFeedback::show(std::string text) {
    text_ = std::move(text);
    ++revision_;
}

void SmsFeedback::sending(std::string_view command, std::string_view number, std::uint32_t now_ms) {
    stage_ = Stage::Sending;
    awaiting_answer_ = true;
    watching_ = true;
    sent_at_ms_ = now_ms;
    show(sendingText(command, number));
}

void SmsFeedback::dropped() {
    show(std::string(kNotSentBusyText));
}

void SmsFeedback::refused(std::string_view words) {
    // The module never gets a refused message: there is no answer to wait for.
    stage_ = Stage::Refused;
    awaiting_answer_ = false;
    watching_ = false;
    show(refusedText(words));
}

void SmsFeedback::confirmed(int seconds_to_listing) {
    if (stage_ != Stage::Sending) return;
    stage_ = Stage::Waiting;
    show(waitingText(seconds_to_listing));
}

void SmsFeedback::givenUp() {
    if (stage_ == Stage::Sending) stage_ = Stage::Idle;
    awaiting_answer_ = false;
    watching_ = false;
}

void SmsFeedback::listed(std::string_view sender, bool from_module) {
    watching_ = false;
    if (!from_module) {
        // Held until the next event: the countdown must not hide it at the next tick. The module's own
        // answer may still come and is then reported as usual.
        if (stage_ == Stage::Sending || stage_ == Stage::Waiting) stage_ = Stage::Foreign;
        show(foreignSenderText(sender));
        return;
    }
    if (!awaiting_answer_) return;
    awaiting_answer_ = false;
    stage_ = Stage::Answered;
    show(std::string(kAnswerReceivedText));
}

void SmsFeedback::tick(std::uint32_t now_ms, int seconds_to_listing) {
    if (watching_ && (stage_ == Stage::Sending || stage_ == Stage::Waiting) &&
        elapsedMs(sent_at_ms_, now_ms) >= kNoAnswerMs) {
        watching_ = false;
        stage_ = Stage::NoAnswer;
        show(std::string(kNoAnswerText));
        return;
    }
    if (stage_ == Stage::Waiting) {
        std::string text = waitingText(seconds_to_listing);
        if (text != text_) show(std::move(text));
    }
}

}  // namespace hx350
