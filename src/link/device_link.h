// The device link: the command channel, the receive path, the one-second exchange timer, the modem console
// and the routing of answers into the pages.
//
// In direct mode a module command goes on the line as a setup frame ("              SETUP:", the command,
// CR, NUL) and the module's answer line is shown and routed into the page that is open. In SMS mode a GSM
// phone sits on the port: the command becomes an SMS-SUBMIT in PDU mode (TS 27.005 clause 3.5.1, AT+CMGS),
// the phone's received messages are listed every 21 idle seconds (AT+CMGL, clause 3.4.2), shown and
// deleted (AT+CMGD, clause 3.5.4), and the phone is identified and set up at start-up with TS 27.007 and
// 27.005 commands.
//
// Nothing waits: every operation writes and returns, and the answers arrive later as batches of bytes from
// the driver's poll (CommPortDriver1ReceiveData) and are followed up by the ticks of Timer1 (Timer1Timer).
// All of it runs on the user-interface thread. A modal message box runs a nested event loop in which ticks
// and polls go on, so every operation that shows one settles its state first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "link/answer_recognisers.h"
#include "link/link_window.h"
#include "link/message_log.h"
#include "link/sms_feedback.h"
#include "serial/comm_port_driver.h"

namespace hx350 {

/// The 20-byte prefix of a direct-mode module command: 14 spaces and "SETUP:".
inline constexpr std::string_view kSetupPrefix = "              SETUP:";
/// Shown when the phone leaves a query or an exchange unanswered for kNoAnswerTicks ticks.
inline constexpr std::string_view kPhoneNotConnectedText = "Cell Phone not connected";
/// Shown once per run when a console operation cannot open the port.
inline constexpr std::string_view kPortErrorText =
    "Could not connect to serial port.\r\nPlease, check settings and try again.";
/// Caption of all of the link's message boxes.
inline constexpr std::string_view kErrorCaption = "Error";

/// Ticks of Timer1 without any received batch after which an unanswered phone is given up.
inline constexpr int kNoAnswerTicks = 99;
/// Idle ticks between two listings of the phone's messages: a listing goes out when the count exceeds this.
inline constexpr int kListingIdleTicks = 20;
/// Ctrl-Z, which ends the PDU after AT+CMGS (TS 27.005 clause 3.5.1).
inline constexpr char kCtrlZ = 0x1A;

/// Pads a module command as the module expects it. Texts starting with "SETTX" or "GETTX" that are shorter
/// than 48 characters get 48 minus their length spaces, at most 32 ("GETTX01" gets 32); then texts starting
/// with "SETTI" or "GETTI" shorter than 23 characters are padded to 23. No line end is added.
std::string padModuleCommand(std::string_view text);

/// How SendSMS dealt with a command.
enum class SendResult {
    Sent,         ///< framed and written (direct mode), or announced with AT+CMGS (SMS mode)
    DroppedBusy,  ///< SMS mode: the phone was busy with another exchange; nothing was written
    NoPdu,        ///< SMS mode: no PDU could be built (module number or text); the error box was shown
};

/// The link state: every flag and counter of the exchange, owned for the whole run.
struct LinkState {
    // Command channel.
    bool plain_send = false;           ///< direct mode writes the next text without prefix and NUL
    bool crlf_memory = false;          ///< remembered state of "Skip CR/LF"
    bool sms_sending_busy = false;     ///< the phone is busy: SendSMS in SMS mode drops commands
    bool sms_exchange_active = false;  ///< an SMS-mode exchange is under way: holds back the listing
    bool command_pending = false;      ///< a command SMS is under way, from AT+CMGS to its confirmation
    bool awaiting_prompt = false;      ///< AT+CMGS is out: the next batch releases the PDU
    bool pdu_sent = false;             ///< the PDU and Ctrl-Z are out: waiting for the confirmation
    std::string stored_pdu;            ///< the PDU in flight, hexadecimal digits and one NUL

    // Receive path.
    std::string last_received_text;  ///< the latest batch, shown and routed by the next tick
    bool reply_pending = false;      ///< a module answer waits to be shown and routed
    bool batch_received = false;     ///< a non-empty batch came since the last tick
    bool listing_requested = false;  ///< a listing went out and no batch came since
    std::string last_sms_text;     ///< decoded text (SMS mode) or PDU token (direct mode) of the last listing
    QueryFlags query_flags;        ///< armed answer recognisers
    QueryValues query_values;      ///< manufacturer, model and date-time texts
    std::size_t current_line = 0;  ///< the memo line the display helpers append to, shared by all memos

    // Timer1.
    bool query_sequence_running = false;
    int query_step = 0;                ///< the step of the start-up query sequence last started, 0 to 7
    int watchdog_count = 0;            ///< ticks of the running query sequence since the last batch
    bool phone_not_connected = false;  ///< the phone stopped answering; cleared by any batch
    int listing_count = 0;             ///< idle ticks since the last listing
    bool listing_alternation = false;  ///< false: the next listing is AT+CMGL=1; true: AT+CMGL=0
    bool nightly_command_sent = false;
    bool confirmation_expected = false;  ///< the PDU is out: the next batch ends the exchange
    bool date_time_refresh = false;      ///< one AT+CCLK? is wanted
    int exchange_silent_ticks = 0;       ///< ticks of an unanswered command exchange since the last batch

    // How the last command SMS fared (read by whatever sequences commands; never changes the exchange).
    SmsOutcome sms_outcome = SmsOutcome::None;
    std::string sms_refusal;  ///< the phone's words when it refused the last command SMS ("+CMS ERROR: 500")

    // Modem console.
    bool port_error_shown = false;  ///< the port error box has been shown in this run (never cleared)

    friend bool operator==(const LinkState&, const LinkState&) = default;
};

class DeviceLink {
  public:
    /// Binds the link to the port, the clock, Timer1 and the window. Installs CommPortDriver1ReceiveData as
    /// the driver's OnReceiveData and OnReceivePacket and Timer1Timer as the callback of `timer1` (which the
    /// window starts with a period of 1000 ms). All four must outlive the link.
    DeviceLink(TCommPortDriver& driver, const Clock& clock, Timer& timer1, LinkWindow& window);
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    /// The link state, for the window's operations (reply pending, date-time refresh, port error shown,
    /// listing requested, plain-send flag) and for tests.
    LinkState& state() { return state_; }
    const LinkState& state() const { return state_; }

    /// Start-up reset: every exchange, query and listing flag false, every counter 0, the plain-send flag
    /// clear, no last received text. Keeps the remembered "Skip CR/LF" state, the texts of the phone's
    /// answers and whether the port error was shown.
    void resetExchangeState();

    /// Batches received since the link was made, and the bytes of the latest one as they came (kept after
    /// the tick has shown and dropped them), for whatever waits for an answer step by step.
    std::uint64_t batchesReceived() const { return batches_received_; }
    /// Commands handed to SendSMS since the link was made (whatever became of them), and the text of the
    /// latest one (before padding; some operations send more than their log line shows).
    std::uint64_t commandsSent() const { return commands_sent_; }
    const std::string& lastCommand() const { return last_command_; }
    const std::string& lastBatch() const { return last_batch_; }

    /// The status-bar line about the SMS exchange (also handed to LinkWindow::ShowLinkMessage).
    const SmsFeedback& feedback() const { return feedback_; }
    /// Every message read from a listing in this run, written down before it is deleted from the phone.
    MessageLog& messageLog() { return message_log_; }
    const MessageLog& messageLog() const { return message_log_; }

    // ---- Command channel

    /// SendSMS: frames one module command (or, after SqualityClick, one plain line) for the transport of
    /// the "SMS mode" box and writes it. Sets the hourglass cursor.
    ///   Direct mode: the setup prefix, the padded text, CR and a NUL byte; after a plain send only the
    ///   padded text and CR. Then SerialTimeSetting with a polling delay of 4000 ms.
    ///   SMS mode: builds the PDU from the padded text with its CR and the module number (BRnumber), writes
    ///   "AT+CMGS=", the number of TPDU octets and CR, and keeps the PDU for the phone's answer
    ///   (CommPortDriver1ReceiveData writes it).
    /// Parameters: text - the bare command, without padding or line end.
    /// Result: what became of the command. Callers of the module-command pattern ignore it.
    /// Errors: while the phone is busy (SMS sending busy) a command is dropped silently. When no PDU can be
    ///   built, nothing is written, the exchange states are reset and the phone-number error box is shown.
    ///   A write that times out ends the frame (the driver reports it as a short count); nothing is shown.
    ///   SMS mode also tells the status bar: "Sending ... (SMS)", or that a dropped command was not sent.
    SendResult SendSMS(std::string_view text);

    /// SendStrings: writes the first `count` characters of `text` (at most all of them) byte by byte; a byte
    /// the port does not take ends the write.
    void SendStrings(std::string_view text, std::size_t count);

    /// SendCR: writes one CR. Result: whether it was written.
    bool SendCR();

    /// SerialTimeSetting: polling delay 4000 ms, input timeout 700 ms, output timeout 1500 ms.
    void SerialTimeSetting();

    /// Clear: empties MemoSMSinput and MemoS, sets reply pending, clears the plain-send flag.
    void Clear();

    /// The module-command pattern: Clear, SendSMS(command), DisplayOnMemo(shown).
    SendResult sendModuleCommand(std::string_view command, std::string_view shown);
    SendResult sendModuleCommand(std::string_view command) { return sendModuleCommand(command, command); }
    /// The same without Clear: the one-button operations that send on top of whatever the line was doing,
    /// leaving the memos' and the plain-send flag's state to the previous operation.
    SendResult sendAndShow(std::string_view command) {
        const SendResult result = SendSMS(command);
        DisplayOnMemo(command);
        return result;
    }

    /// Main page buttons. ReadStateClick sends "GETST" by the module-command pattern;
    /// SendSMScommandClick sends `command` (the text of SMScommand) the same way; ConnectBtnClick empties
    /// both memos and sends "  OK"; TestBtnClick sends "  +EXIT" (neither touches the plain-send flag);
    /// ClearBtnClick puts the remembered "Skip CR/LF" state back into the box, restores the cursor and
    /// empties MemoSMSinput.
    void ReadStateClick();
    void SendSMScommandClick(std::string_view command);
    void ConnectBtnClick();
    void TestBtnClick();
    void ClearBtnClick();

    /// SkipCRLFcbClick: remembers the state of "Skip CR/LF".
    void SkipCRLFcbClick();

    /// SMSmodeClick: the window calls it after "SMS mode" changed. Leaving SMS mode clears listing
    /// requested, which in direct mode nothing else would clear.
    void SMSmodeClick();

    /// InitPort: reopens the port with 8N1, no flow control, DTR low on open, port number
    /// `port_index` + 1 (0..15) and the rate of `rate_index` (0..4: 9600, 19200, 38400, 57600, 115200).
    /// Out-of-range indexes leave that setting unchanged. Result: whether the port is open (callers of the
    /// Serial Port page ignore it; nothing is shown).
    bool InitPort(int port_index, int rate_index);

    // ---- Receive path and display

    /// DisplayInputSMS: sets MemoSMSinput to one empty line.
    void DisplayInputSMS();
    /// DisplayOnMemo: DisplayInputSMS, then MemoS shows `text` alone on its first line (control
    /// characters as spaces); the current line becomes 0.
    void DisplayOnMemo(std::string_view text);

    /// CommPortDriver1ReceiveData: handles one batch of received bytes (any content, NUL bytes included):
    /// keeps it as the last received text, reads a message listing (shows and deletes its first message),
    /// runs the armed answer recognisers, releases a pending PDU and ends SMS-mode exchanges.
    void CommPortDriver1ReceiveData(const std::uint8_t* data, std::uint32_t size);

    // ---- Timer1

    /// Timer1Timer: one tick of the one-second timer. SMS mode: confirmation, query sequence, clock
    /// query, Status colour, no-answer watchdogs, listing every 21 idle ticks, the nightly "GETMH" at
    /// 00:02. Direct mode: routes the last answer into the page shown. Both: appends the last answer to
    /// MemoSMSinput and drops it.
    void Timer1Timer();

    /// PromptFollowUp: what a tick of Timer1 does with an answer, done right after a batch that came on a
    /// quiet gap (prompt delivery). Direct mode: the routing into the page shown and the memo, exactly as
    /// the next tick would do them (that tick then finds nothing left). SMS mode: nothing; the exchange
    /// keeps its one-second steps and counts.
    void PromptFollowUp();

    /// SendCMGL: asks the phone for its messages with the first 9 characters of `command` and CR, unless the
    /// phone is busy. Clears awaiting prompt and PDU sent either way.
    void SendCMGL(std::string_view command);

    /// ReadAllParameterClick: in SMS mode starts the start-up query sequence of the phone (one query per
    /// answered tick); does nothing in direct mode.
    void ReadAllParameterClick();

    // ---- Modem console (each writes straight to the port, then CR; the answer comes later)

    void GetHersteller();    ///< "AT+CGMI"; shows the manufacturer text in Hersteller
    void GetCharSetClick();  ///< "AT+CSCS?"
    void GetModel();         ///< "AT+CGMM"
    void SetCMEE();          ///< "AT+CMEE=2" (verbose errors)
    void SetCMGF();          ///< LF CR "AT+CMGF=0" (PDU mode)
    void SetCMGL1();         ///< LF CR "AT+CMGL=1" (listing of read messages)
    void GetDateTime();      ///< "AT+CCLK?"; clears date-time refresh; shows the date-time text in DateTime

    /// SqualityClick: sends "  AT+CSQ" through SendSMS as a plain line (direct mode: no prefix, no NUL).
    void SqualityClick();

  private:
    enum class Origin { User, Timer };
    SendResult send(std::string_view text, Origin origin);
    void showFeedback();
    int secondsToListing() const;
    void noteListedMessage(const std::string& token, std::optional<unsigned> index);

    enum class Echo { Line, Characters };
    enum class Shows { Nothing, Manufacturer, DateTime };
    struct ConsoleQuery {
        std::string_view characters;
        Echo echo;
        QueryFlag flag;
        Shows shows;
    };
    void runConsoleQuery(const ConsoleQuery& query);

    bool writeBytes(std::string_view bytes);
    bool writeEachByte(std::string_view bytes);
    void setCursor(CursorShape shape);
    void readListing(std::string_view raw);
    void releasePdu();
    bool queryWatchdog();
    bool exchangeWatchdog();
    void giveUpOnPhone();
    void smsModeTick();
    void commonEnd();

    TCommPortDriver& driver_;
    const Clock& clock_;
    LinkWindow& window_;
    LinkState state_;
    SmsFeedback feedback_;
    std::uint64_t feedback_shown_ = 0;  // the feedback revision last handed to the window
    MessageLog message_log_;
    std::uint64_t batches_received_ = 0;
    std::uint64_t commands_sent_ = 0;
    std::string last_command_;
    std::string last_batch_;
};

}  // namespace hx350
