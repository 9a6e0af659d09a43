#include "link/device_link.h"

#include <array>
#include <string>

#include "link/display_unit.h"
#include "link/listing_reader.h"
#include "link/pdu_codec.h"
#include "link/reply_routing.h"

namespace hx350 {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The night rule works on the local time of day, in seconds since midnight.
constexpr int kNightHoldStart = 0;          // 00:00:00: the listing is held back
constexpr int kNightCommandStart = 2 * 60;  // 00:02:00: "GETMH" goes out once
constexpr int kNightReleaseStart = 3 * 60;  // 00:03:00: the listing resumes
constexpr int kNightReleaseEnd = 4 * 60;    // 00:04:00

}  // namespace

std::string padModuleCommand(std::string_view text) {
    std::string padded(text);
    // Event texts travel in fixed 48-character frames; the module reads a shorter frame as cut off.
    if ((startsWith(padded, "SETTX") || startsWith(padded, "GETTX")) && padded.size() < 48) {
        const std::size_t spaces = std::min<std::size_t>(48 - padded.size(), 32);
        padded.append(spaces, ' ');
    }
    if ((startsWith(padded, "SETTI") || startsWith(padded, "GETTI")) && padded.size() < 23) {
        padded.append(23 - padded.size(), ' ');
    }
    return padded;
}

DeviceLink::DeviceLink(TCommPortDriver& driver, const Clock& clock, Timer& timer1, LinkWindow& window)
    : driver_(driver), clock_(clock), window_(window) {
    auto receive = [this](TCommPortDriver&, const std::uint8_t* data, std::uint32_t size) {
        CommPortDriver1ReceiveData(data, size);
    };
    driver_.SetOnReceiveData(receive);
    driver_.SetOnReceivePacket(receive);
    timer1.setCallback([this] { Timer1Timer(); });
}

void DeviceLink::resetExchangeState() {
    LinkState fresh;
    fresh.crlf_memory = state_.crlf_memory;
    fresh.query_values = state_.query_values;
    fresh.port_error_shown = state_.port_error_shown;
    state_ = std::move(fresh);
}

// ---------------------------------------------------------------------------------------------------------
// Writing

bool DeviceLink::writeBytes(std::string_view bytes) {
    if (bytes.empty()) return true;
    const auto size = static_cast<std::uint32_t>(bytes.size());
    return driver_.WriteData(reinterpret_cast<const std::uint8_t*>(bytes.data()), size) == size;
}

bool DeviceLink::writeEachByte(std::string_view bytes) {
    // A port that stopped taking bytes would hold the thread for one output timeout per byte: the first
    // byte that does not go out ends the write, and all the bytes share one deadline.
    TCommPortDriver::WriteOperation operation(driver_);
    for (char ch : bytes) {
        if (!driver_.WriteByte(static_cast<std::uint8_t>(ch))) return false;
    }
    return true;
}

void DeviceLink::setCursor(CursorShape shape) {
    window_.Services().setCursor(shape);
}

// ---------------------------------------------------------------------------------------------------------
// Command channel

SendResult DeviceLink::SendSMS(std::string_view text) {
    ++commands_sent_;
    last_command_.assign(text);
    return send(text, Origin::User);
}

SendResult DeviceLink::send(std::string_view text, Origin origin) {
    setCursor(CursorShape::Hourglass);
    std::string padded = padModuleCommand(text);
    padded += '\r';

    if (window_.SMSmodeChecked()) {
        state_.sms_exchange_active = true;
        if (state_.sms_sending_busy) {
            // The drop stays (one SMS at a time), but a click that sent nothing must not look like a write.
            // The nightly command retries by itself and says nothing.
            if (origin == Origin::User) {
                feedback_.dropped();
                showFeedback();
            }
            return SendResult::DroppedBusy;
        }

        // The PDU is built before any state says an exchange is under way: the error box below runs a
        // nested event loop, and a batch or tick handled there must not find a half-prepared exchange.
        PduEncoding encoding = TextToPDUConversion(padded, window_.BRnumberText());
        if (!encoding.ok()) {
            state_.sms_sending_busy = false;
            state_.command_pending = false;
            state_.awaiting_prompt = false;
            state_.pdu_sent = false;
            state_.sms_exchange_active = false;
            setCursor(CursorShape::Default);
            window_.Services().showMessage(kPhoneNumberErrorText, kPhoneNumberErrorCaption,
                                           MessageIcon::Error);
            return SendResult::NoPdu;
        }

        state_.command_pending = true;
        state_.awaiting_prompt = false;
        state_.pdu_sent = false;
        state_.sms_sending_busy = true;
        setCursor(CursorShape::Hourglass);
        state_.stored_pdu = std::move(encoding.pdu);
        // AT+CMGS=<length> counts the TPDU octets, without the service-centre part (TS 27.005 clause 3.5.1):
        // the PDU text holds 2 digits per octet, the "00" of the empty service-centre field and one NUL.
        const std::string length = std::to_string(state_.stored_pdu.size() / 2 - 1);
        if (writeBytes("AT+CMGS=") && writeBytes(length)) writeBytes("\r");
        SerialTimeSetting();
        state_.awaiting_prompt = true;
        state_.sms_outcome = SmsOutcome::Pending;
        state_.sms_refusal.clear();
        feedback_.sending(text, window_.BRnumberText(), clock_.tickCount());
        showFeedback();
        return SendResult::Sent;
    }

    bool written = true;
    if (!state_.plain_send) written = writeBytes(kSetupPrefix);
    written = written && writeBytes(padded);
    if (!state_.plain_send && written) writeBytes(std::string_view("\0", 1));
    SerialTimeSetting();
    driver_.SetPollingDelay(4000);
    return SendResult::Sent;
}

void DeviceLink::SendStrings(std::string_view text, std::size_t count) {
    writeEachByte(text.substr(0, count));
}

bool DeviceLink::SendCR() {
    const bool written = writeBytes("\r");
    // The log's character display ignores CR; kept so the log sees every character the channel writes.
    if (!window_.SMSmodeChecked()) MemoPutChar(window_.MemoS(), '\r', state_.current_line);
    return written;
}

void DeviceLink::SerialTimeSetting() {
    driver_.SetPollingDelay(4000);
    driver_.SetInputTimeout(700);
    driver_.SetOutputTimeout(1500);
}

void DeviceLink::Clear() {
    window_.MemoSMSinput().Clear();
    window_.MemoS().Clear();
    state_.reply_pending = true;
    state_.plain_send = false;
}

SendResult DeviceLink::sendModuleCommand(std::string_view command, std::string_view shown) {
    Clear();
    const SendResult result = SendSMS(command);
    DisplayOnMemo(shown);
    return result;
}

void DeviceLink::ReadStateClick() {
    sendModuleCommand("GETST");
}

void DeviceLink::SendSMScommandClick(std::string_view command) {
    sendModuleCommand(command);
}

void DeviceLink::ConnectBtnClick() {
    window_.MemoSMSinput().Clear();
    window_.MemoS().Clear();
    SendSMS("  OK");
}

void DeviceLink::TestBtnClick() {
    SendSMS("  +EXIT");
}

void DeviceLink::ClearBtnClick() {
    window_.SetSkipCRLFcbChecked(state_.crlf_memory);
    setCursor(CursorShape::Default);
    window_.MemoSMSinput().Clear();
}

void DeviceLink::SkipCRLFcbClick() {
    state_.crlf_memory = window_.SkipCRLFcbChecked();
}

void DeviceLink::SMSmodeClick() {
    if (!window_.SMSmodeChecked()) state_.listing_requested = false;
}

bool DeviceLink::InitPort(int port_index, int rate_index) {
    static constexpr std::array<TBaudRate, 5> kRates{br9600, br19200, br38400, br57600, br115200};
    driver_.Disconnect();
    driver_.SetDataBits(db8BITS);
    driver_.SetParity(ptNONE);
    driver_.SetStopBits(sb1BITS);
    driver_.SetHwFlow(hfNONE);
    driver_.SetSwFlow(sfNONE);
    driver_.SetEnableDTROnOpen(false);
    driver_.SetCheckLineStatus(false);
    if (port_index >= 0 && port_index < 16) driver_.SetPort(static_cast<TPortNumber>(pnCOM1 + port_index));
    if (rate_index >= 0 && rate_index < static_cast<int>(kRates.size())) {
        driver_.SetBaudRate(kRates[static_cast<std::size_t>(rate_index)]);
    }
    return driver_.Connect();
}

// ---------------------------------------------------------------------------------------------------------
// Receive path

void DeviceLink::DisplayInputSMS() {
    window_.MemoSMSinput().SetText("\r\n");
}

void DeviceLink::DisplayOnMemo(std::string_view text) {
    DisplayInputSMS();
    window_.MemoS().Clear();
    state_.current_line = 0;
    MemoPutText(window_.MemoS(), text, state_.current_line);
}

void DeviceLink::CommPortDriver1ReceiveData(const std::uint8_t* data, std::uint32_t size) {
    ++batches_received_;
    last_batch_.assign(reinterpret_cast<const char*>(data), size);
    SerialTimeSetting();
    driver_.SetPollingDelay(4000);

    const std::string raw(reinterpret_cast<const char*>(data), size);
    // Provisional last received text: from the first CR, as long as the position of the first NUL.
    // Only a batch that carries a NUL keeps anything here; every other batch overwrites it below (direct
    // mode) or leaves nothing to show (SMS mode).
    const std::size_t first_cr = raw.find('\r');
    const std::size_t first_nul = raw.find('\0');
    const std::size_t start = first_cr == std::string::npos ? 0 : first_cr;
    const std::size_t count = first_nul == std::string::npos ? 0 : first_nul + 1;
    state_.last_received_text = raw.substr(start, count);

    std::string text;
    text.reserve(raw.size());
    for (char ch : raw) {
        if (ch != '\0') text += ch;
    }
    if (text.empty()) return;

    state_.sms_exchange_active = false;
    state_.listing_requested = false;
    readListing(raw);
    state_.phone_not_connected = false;
    state_.watchdog_count = 0;
    state_.exchange_silent_ticks = 0;
    runAnswerRecognisers(raw, state_.query_flags, state_.query_values);

    if (!window_.SMSmodeChecked()) {
        state_.last_received_text = text;
        if (window_.SkipCRLFcbChecked()) {
            for (char& ch : state_.last_received_text) {
                if (static_cast<unsigned char>(ch) < 0x20) ch = ' ';
            }
        } else {
            window_.SetSkipCRLFcbChecked(state_.crlf_memory);
        }
        state_.reply_pending = true;
        if (state_.plain_send) {
            // A short answer of the phone to a plain line ("OK", "+CSQ: ..."): kept with its control
            // characters and ended by a NUL, so the display shows it without a line break and the next
            // answer continues that line.
            const std::size_t cr = text.find('\r');
            if (cr == std::string::npos || cr < 4) {
                state_.last_received_text = text + '\0';
                state_.plain_send = false;
            }
        }
    }

    // The phone's answer to AT+CMGS or to the PDU may be an error result (TS 27.005 clause 3.2.5): the
    // exchange ends as with any answer, but the message did not go out and the window says so.
    const bool answers_command =
        state_.command_pending && (state_.awaiting_prompt || state_.pdu_sent || state_.confirmation_expected);
    if (answers_command && state_.sms_outcome == SmsOutcome::Pending) {
        if (std::optional<std::string> words = phoneRefusal(text)) {
            state_.sms_outcome = SmsOutcome::Refused;
            state_.sms_refusal = *words;
            feedback_.refused(*words);
        }
    }

    // Any batch after AT+CMGS releases the PDU: the phone's "> " prompt (TS 27.005 clause 3.5.1) is not
    // waited for, since some phones send it with no line end and a poll may deliver it with other bytes.
    if (state_.awaiting_prompt && (state_.command_pending || state_.query_step % 2 == 1)) releasePdu();

    if (state_.confirmation_expected) {
        state_.sms_exchange_active = false;
        state_.pdu_sent = false;
        state_.confirmation_expected = false;
        if (state_.command_pending) {
            state_.command_pending = false;
            SerialTimeSetting();
            if (state_.sms_outcome == SmsOutcome::Pending) {
                state_.sms_outcome = SmsOutcome::Confirmed;
                feedback_.confirmed(secondsToListing());
            }
        }
    }
    if (!state_.awaiting_prompt && !state_.pdu_sent) {
        state_.sms_exchange_active = false;
        state_.sms_sending_busy = false;
    }
    state_.batch_received = true;
    showFeedback();
}

void DeviceLink::readListing(std::string_view raw) {
    window_.SetStatusColor(colors::kLime);
    const ListingScan scan = scanListing(raw);
    if (scan.token) {
        if (window_.SMSmodeChecked()) {
            state_.last_sms_text = PDUTextConversion(*scan.token);
            Memo& memo = window_.MemoSMSinput();
            memo.Clear();
            MemoSetFirstLine(memo, "\r\n" + state_.last_sms_text + "\r\n", state_.current_line);
        } else {
            state_.last_sms_text = *scan.token;
        }
        noteListedMessage(*scan.token, scan.index);
        // Delete the message just read (TS 27.005 clause 3.5.4); the next listing brings the next one.
        if (scan.index && writeBytes("AT+CMGD=") && writeBytes(std::to_string(*scan.index))) SendCR();
    }
    state_.sms_exchange_active = false;
    window_.SetStatusColor(colors::kRed);
}

void DeviceLink::noteListedMessage(const std::string& token, std::optional<unsigned> index) {
    // Written down before the delete below, whoever sent it: the memo shows any listed message as the
    // module's answer and keeps only the last one.
    const std::string sender = PDUSenderNumber(token);
    const bool sms_mode = window_.SMSmodeChecked();
    message_log_.add(
        {clock_.localNow(), sender, sms_mode ? state_.last_sms_text : PDUTextConversion(token), index});
    if (sms_mode) feedback_.listed(sender, sameSubscriber(sender, window_.BRnumberText()));
}

void DeviceLink::releasePdu() {
    state_.awaiting_prompt = false;
    std::string_view digits = state_.stored_pdu;
    if (!digits.empty()) digits.remove_suffix(1);  // the NUL that ends the stored PDU
    {
        // The PDU and its Ctrl-Z are one write: a phone that takes a byte now and then ends it after one
        // output timeout, not one per byte.
        TCommPortDriver::WriteOperation operation(driver_);
        const bool written = writeEachByte(digits);
        if (written) writeEachByte(std::string_view(&kCtrlZ, 1));
    }
    MemoPutLine(window_.MemoS(), digits, state_.current_line);
    state_.pdu_sent = true;
    state_.sms_sending_busy = false;
    setCursor(CursorShape::Default);
}

// ---------------------------------------------------------------------------------------------------------
// Timer1

void DeviceLink::Timer1Timer() {
    if (window_.SMSmodeChecked()) {
        smsModeTick();
    } else if (!state_.last_received_text.empty() && state_.reply_pending) {
        window_.ApplyRouting(routeReply(window_.ActivePageIndex(), state_.last_received_text));
    }
    commonEnd();
}

void DeviceLink::PromptFollowUp() {
    if (window_.SMSmodeChecked()) return;
    Timer1Timer();
}

void DeviceLink::smsModeTick() {
    LinkState& s = state_;

    // 1. The PDU went out at the last batch: the next batch is the phone's confirmation.
    if (s.pdu_sent) {
        SerialTimeSetting();
        s.confirmation_expected = true;
    }

    // 2. Start-up query sequence: one step per answered query.
    if (s.query_sequence_running && !s.sms_sending_busy) {
        ++s.query_step;
        s.sms_sending_busy = false;
        switch (s.query_step) {
            case 1:
                GetHersteller();
                break;
            case 2:
                GetCharSetClick();
                break;
            case 3:
                GetModel();
                break;
            case 4:
                SetCMEE();
                break;
            case 5:
                SetCMGF();
                break;
            case 6:
                SetCMGL1();
                break;
            default:
                break;
        }
        window_.SetModelIDCode(s.query_values.model);
        window_.SetHersteller(s.query_values.manufacturer);
        window_.SetDateTime(s.query_values.date_time);
        if (s.phone_not_connected) {
            s.query_sequence_running = false;
            s.sms_sending_busy = false;
            setCursor(CursorShape::Default);
            s.query_flags.clearAll();
        }
        if (s.query_step >= 7) {
            s.query_sequence_running = false;
            setCursor(CursorShape::Default);
            s.sms_sending_busy = false;
            window_.SetStatusText(" ");
        }
    }

    // 3. Clock query on request.
    if (s.date_time_refresh) GetDateTime();

    // 4. Status colour.
    if (s.phone_not_connected) {
        window_.SetStatusColor(colors::kBlack);
    } else if (s.sms_sending_busy) {
        window_.SetStatusColor(colors::kRed);
    } else {
        window_.SetStatusColor(colors::kLime);
    }

    // 5. No-answer watchdogs. A box shown here ends the tick.
    if (queryWatchdog()) return;
    if (exchangeWatchdog()) return;

    // 6. Listing of the phone's messages every 21 idle ticks, read ones and unread ones in turn
    //    (TS 27.005 clause 3.4.2, PDU-mode status 1 and 0).
    if (!s.query_sequence_running && !s.sms_sending_busy && !s.sms_exchange_active) {
        ++s.listing_count;
        if (s.listing_count > kListingIdleTicks) {
            s.listing_requested = true;
            window_.SetStatusColor(colors::kAqua);
            setCursor(CursorShape::Hourglass);
            SendCMGL(s.listing_alternation ? "AT+CMGL=0" : "AT+CMGL=1");
            s.listing_count = 0;
            s.listing_alternation = !s.listing_alternation;
            s.sms_sending_busy = false;
            setCursor(CursorShape::Default);
            window_.SetStatusColor(colors::kLime);
        }
    }

    // 7. Night: the listing rests from 00:00 to 00:03 and the module is asked for "GETMH" at 00:02.
    const int now = clock_.localNow().secondsOfDay();
    if (now >= kNightHoldStart && now < kNightCommandStart) {
        s.sms_exchange_active = true;
    } else if (now >= kNightCommandStart && now < kNightReleaseStart) {
        s.sms_exchange_active = true;
        if (!s.nightly_command_sent) {
            // Marked before sending: a box shown by SendSMS runs nested ticks, which must not send again.
            // A command dropped because the phone is busy is tried again at the next tick of the minute.
            s.nightly_command_sent = true;
            if (send("GETMH", Origin::Timer) == SendResult::DroppedBusy) s.nightly_command_sent = false;
        }
    } else {
        if (now < kNightReleaseEnd) s.sms_exchange_active = false;
        s.nightly_command_sent = false;
    }

    feedback_.tick(clock_.tickCount(), secondsToListing());
    showFeedback();
}

int DeviceLink::secondsToListing() const {
    // The listing goes out on the idle tick that takes the count past kListingIdleTicks.
    return kListingIdleTicks + 1 - state_.listing_count;
}

void DeviceLink::showFeedback() {
    if (feedback_.revision() == feedback_shown_) return;
    feedback_shown_ = feedback_.revision();
    window_.ShowLinkMessage(feedback_.text());
}

bool DeviceLink::queryWatchdog() {
    LinkState& s = state_;
    if (!s.query_sequence_running) return false;
    ++s.watchdog_count;
    if (s.watchdog_count < kNoAnswerTicks) return false;
    s.query_sequence_running = false;
    s.watchdog_count = 0;
    const bool first_time = !s.phone_not_connected;
    giveUpOnPhone();
    return first_time;
}

bool DeviceLink::exchangeWatchdog() {
    // A command exchange that no batch answers (the phone never prompts or never confirms) would hold
    // SMS exchange active, and with it the listing, for the rest of the run: it is given up like an
    // unanswered query.
    LinkState& s = state_;
    if (!s.awaiting_prompt && !s.pdu_sent && !s.command_pending) {
        s.exchange_silent_ticks = 0;
        return false;
    }
    ++s.exchange_silent_ticks;
    if (s.exchange_silent_ticks < kNoAnswerTicks) return false;
    s.exchange_silent_ticks = 0;
    s.awaiting_prompt = false;
    s.pdu_sent = false;
    s.command_pending = false;
    s.confirmation_expected = false;
    s.sms_exchange_active = false;
    if (s.sms_outcome == SmsOutcome::Pending) s.sms_outcome = SmsOutcome::GivenUp;
    feedback_.givenUp();
    const bool first_time = !s.phone_not_connected;
    giveUpOnPhone();
    return first_time;
}

void DeviceLink::giveUpOnPhone() {
    // Every state is settled before the box: its nested loop goes on ticking and must see the phone
    // already given up, so that it neither counts on nor shows the box a second time.
    const bool first_time = !state_.phone_not_connected;
    state_.phone_not_connected = true;
    state_.sms_sending_busy = false;
    setCursor(CursorShape::Default);
    window_.SetStatusColor(colors::kBlack);
    if (first_time) {
        window_.Services().showMessage(kPhoneNotConnectedText, kErrorCaption, MessageIcon::Error);
    }
}

void DeviceLink::commonEnd() {
    LinkState& s = state_;
    if (s.reply_pending && !s.last_received_text.empty()) {
        // Appended, not set anew: the memo may hold thousands of lines, and each answer costs only itself.
        std::string shown = s.last_received_text;
        shown += "\r\n";
        // A NUL ends the text (a plain-send answer): what follows it, the line break too, is not shown.
        const std::size_t nul = shown.find('\0');
        if (nul != std::string::npos) shown.resize(nul);
        window_.MemoSMSinput().Append(shown);
        s.reply_pending = false;
    }
    if (s.batch_received) {
        setCursor(CursorShape::Default);
        s.last_received_text.clear();
        s.batch_received = false;
    }
}

void DeviceLink::SendCMGL(std::string_view command) {
    state_.awaiting_prompt = false;
    state_.pdu_sent = false;
    if (state_.sms_sending_busy) return;
    state_.sms_sending_busy = true;
    setCursor(CursorShape::Hourglass);
    if (writeEachByte(command.substr(0, 9))) SendCR();
    SerialTimeSetting();
    setCursor(CursorShape::Default);
    state_.sms_sending_busy = false;
}

void DeviceLink::ReadAllParameterClick() {
    if (!window_.SMSmodeChecked()) return;
    state_.phone_not_connected = false;
    state_.query_step = 0;
    state_.query_sequence_running = true;
}

// ---------------------------------------------------------------------------------------------------------
// Modem console

void DeviceLink::runConsoleQuery(const ConsoleQuery& query) {
    LinkState& s = state_;
    if (!driver_.Connect()) {
        if (!s.port_error_shown) {
            s.port_error_shown = true;
            window_.Services().showMessage(kPortErrorText, kErrorCaption, MessageIcon::Error);
            return;
        }
    } else if (!s.sms_sending_busy || s.query_sequence_running) {
        s.sms_sending_busy = true;
        setCursor(CursorShape::Hourglass);
        const bool written = writeEachByte(query.characters);
        Memo& memo = window_.MemoSMSinput();
        if (query.echo == Echo::Line) {
            MemoPutLine(memo, query.characters, s.current_line);
        } else {
            for (char ch : query.characters)
                MemoPutChar(memo, ch, s.current_line);
        }
        if (written) SendCR();
        s.query_flags.set(query.flag);
        if (query.flag == QueryFlag::DateTime) s.date_time_refresh = false;
    }
    if (query.shows == Shows::Manufacturer) window_.SetHersteller(s.query_values.manufacturer);
    if (query.shows == Shows::DateTime) window_.SetDateTime(s.query_values.date_time);
}

void DeviceLink::GetHersteller() {
    runConsoleQuery({"AT+CGMI", Echo::Line, QueryFlag::Manufacturer, Shows::Manufacturer});
}

void DeviceLink::GetCharSetClick() {
    runConsoleQuery({"AT+CSCS?", Echo::Line, QueryFlag::CharacterSet, Shows::Nothing});
}

void DeviceLink::GetModel() {
    runConsoleQuery({"AT+CGMM", Echo::Line, QueryFlag::Model, Shows::Nothing});
}

void DeviceLink::SetCMEE() {
    runConsoleQuery({"AT+CMEE=2", Echo::Characters, QueryFlag::ErrorReport, Shows::Nothing});
}

void DeviceLink::SetCMGF() {
    runConsoleQuery({"\n\rAT+CMGF=0", Echo::Characters, QueryFlag::MessageFormat, Shows::Nothing});
}

void DeviceLink::SetCMGL1() {
    runConsoleQuery({"\n\rAT+CMGL=1", Echo::Characters, QueryFlag::ListingMode, Shows::Nothing});
}

void DeviceLink::GetDateTime() {
    runConsoleQuery({"AT+CCLK?", Echo::Line, QueryFlag::DateTime, Shows::DateTime});
}

void DeviceLink::SqualityClick() {
    window_.MemoS().Clear();
    state_.crlf_memory = window_.SkipCRLFcbChecked();
    state_.plain_send = true;
    window_.MemoSMSinput().Clear();
    SendSMS("  AT+CSQ");
}

}  // namespace hx350
