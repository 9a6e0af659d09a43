// Operations that read the module's state, switch its outputs, read its inputs and counters, set its clock
// and restart it, and send the data-logger and output-pulse parameters (Main and IO control pages, and the
// buttons of the Analog and Temperature pages bound to the same operations).
#include <string>
#include <string_view>

#include "app/form.h"
#include "link/device_link.h"
#include "params/status_outputs.h"

namespace hx350 {

namespace {

params::DateTime toCommandDateTime(const LocalDateTime& now) {
    return params::DateTime{now.year, now.month, now.day, now.hour, now.minute, now.second};
}

}  // namespace

// ---- Main page: fixed reads and the restart.

void TForm1::ReadAnalogClick() {
    link_->sendModuleCommand(params::kReadAnalog);
}

void TForm1::ReadTemperatureClick() {
    link_->sendModuleCommand(params::kReadTemperature);
}

void TForm1::TemperatureLevelBtnClick() {
    link_->sendModuleCommand(params::kReadTemperatureLevels);
}

void TForm1::ReadAlevelBtnClick() {
    link_->sendModuleCommand(params::kReadAnalogLevels);
}

void TForm1::RestartModuleClick() {
    link_->sendModuleCommand(params::kRestartModule);
}

void TForm1::VersionClick() {
    link_->sendModuleCommand(params::kReadVersion, params::kReadVersionEcho);
}

// The clock read shows its keyword before it goes out.
void TForm1::GetDTClick() {
    link_->Clear();
    link_->DisplayOnMemo(params::kReadDateTimeEcho);
    link_->SendSMS(params::kReadDateTime);
}

// The counter buttons neither empty the memos nor touch the plain-send flag: right after a plain send
// (the signal-quality line) they go out unframed as well.
void TForm1::Button2Click() {
    link_->SendSMS(params::kReadCounters);
    link_->DisplayOnMemo(params::kReadCounters);
}

void TForm1::ClearCounter12Click() {
    link_->SendSMS(params::kClearCounters);
    link_->DisplayOnMemo(params::kClearCounters);
}

// In direct mode the clock command goes to the module like any other. In SMS mode the module cannot be
// reached by a plain line, so the command is typed straight at the phone on the port (no SMS, no setup
// frame); the next tick then reads the phone's clock back.
void TForm1::SetDTClick() {
    link_->Clear();
    const std::string command =
        params::setDateTimeCommand(toCommandDateTime(clock_.localNow()), std::string_view(TimeZone.Text()));
    LinkState& state = link_->state();
    if (!sms_mode_remembered_) {
        link_->DisplayOnMemo(command);
        link_->SendSMS(command);
        state.date_time_refresh = true;
        return;
    }
    if (!driver_->Connect()) {
        // The port error is shown once per run, whichever operation meets it first.
        if (!state.port_error_shown) {
            state.port_error_shown = true;
            services_.showMessage(kPortErrorText, kErrorCaption, MessageIcon::Error);
        }
        return;
    }
    if (state.sms_sending_busy && !state.query_sequence_running) return;
    state.sms_sending_busy = true;
    services_.setCursor(CursorShape::Hourglass);
    link_->SendStrings(command, command.size());
    link_->DisplayOnMemo(command);
    link_->SendCR();
    state.date_time_refresh = true;
    state.sms_sending_busy = false;
    services_.setCursor(CursorShape::Default);
}

// ---- IO control page: outputs and inputs. The output edits echo the last command given here; the
// module's state is not read back into them.

void TForm1::SetOutClick(int output) {
    link_->sendModuleCommand(params::setOutputCommand(output));
    Output[output].SetText(params::outputStateText(true));
}

void TForm1::ResetOutClick(int output) {
    link_->sendModuleCommand(params::resetOutputCommand(output));
    Output[output].SetText(params::outputStateText(false));
}

void TForm1::GetOutClick(int output) {
    link_->sendModuleCommand(params::getOutputCommand(output));
}

void TForm1::GetOutStateClick() {
    link_->sendModuleCommand(params::getOutputCommand(params::kAllOutputsOrInputs));
}

void TForm1::GetInpClick(int input) {
    link_->sendModuleCommand(params::getInputCommand(input));
}

void TForm1::GetAllInputClick() {
    link_->sendModuleCommand(params::getInputCommand(params::kAllOutputsOrInputs));
}

// ---- IO control page: data logger and output pulses.

void TForm1::SetPulseClick() {
    params::PulseParameters parameters;
    parameters.sample_rate = SRateSB.Position();
    parameters.logger_period = DLoggerTmSB.Position();
    for (int n = 1; n <= 3; ++n)
        parameters.pulse[n - 1] = PulseDsb[n].Position();
    link_->sendModuleCommand(params::setPulseCommand(parameters));
}

// The two single-setting buttons (also bound on the GPRS, FTP page) leave the memos and the plain-send
// flag alone, like the counter buttons.
void TForm1::bSRateClick() {
    const std::string command = params::sampleRateCommand(SRateSB.Position());
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
}

void TForm1::bDLperiodClick() {
    const std::string command = params::dataLoggerPeriodCommand(DLoggerTmSB.Position());
    link_->SendSMS(command);
    link_->DisplayOnMemo(command);
}

}  // namespace hx350
