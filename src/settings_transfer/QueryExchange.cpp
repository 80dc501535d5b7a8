#include "settings_transfer/QueryExchange.h"

#include <array>

#include "serial/CommPort.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace settings_transfer {
namespace {

const std::string kFirstTerminator = "\r\n";
const std::string kResendTerminator = "\r";

struct CodeRule {
    const char* code;
    bool errorFound;
    bool shown;
};

// Tried in this order; the first code found decides.
constexpr std::array<CodeRule, 17> kCodeRules{{
    {"?E0", true, false}, {"?E1", true, false}, {"?E2", true, false}, {"?E3", true, false},
    {"?E4", true, false}, {"?E5", true, false}, {"?E6", true, false}, {"?E7", true, false},
    {"?E8", true, false}, {"?E9", true, false}, {"?1", true, true},   {"?2", true, true},
    {"?3", false, false}, {"?4", true, true},   {"?5", true, true},   {"?6", true, true},
    {"?7", true, true},
}};

}  // namespace

ErrorScan ScanErrorCodes(const std::string& reply) {
    for (const CodeRule& rule : kCodeRules) {
        if (reply.find(rule.code) != std::string::npos)
            return {rule.errorFound, rule.shown ? rule.code : ""};
    }
    return {};
}

// A command that gets no answer costs three writes and three reads. A later read that brings
// nothing does not throw away an answer an earlier one brought.
std::string QueryExchange::SendQuery(const std::string& command, QueryMode mode) {
    std::string reply;
    if (!WriteFirst(command))
        return reply;
    int count = ReadInto(reply);
    const bool needsResend = mode == QueryMode::Acknowledged ? !IsAcknowledged(reply) : count == 0;
    if (needsResend && !ResendTwice(command, reply, count))
        return reply;
    const bool scan = mode == QueryMode::Acknowledged ? !IsAcknowledged(reply) : count > 0;
    if (scan)
        CheckErrorResponse(command, reply);
    return reply;
}

// A closed port is opened again by its name and configured with its baud text; a failure there
// shows up as a failed write.
bool QueryExchange::WriteFirst(const std::string& command) {
    if (port_ != nullptr && !port_->IsPortOpen()) {
        const std::string name = port_->PortName;
        port_->OpenPort(name);
        port_->ConfigurePort(std::string(port_->BaudString));
    }
    return Write(command, kFirstTerminator);
}

bool QueryExchange::ResendQuery(const std::string& command) { return Write(command, kResendTerminator); }

bool QueryExchange::Ending() {
    ending_ = ending_ || ui::Application::ProgramIsEnding();
    return ending_;
}

// A write that gave up because the program is ending is no failed port.
bool QueryExchange::Write(const std::string& command, const std::string& terminator) {
    if (Ending())
        return false;
    if (port_ != nullptr) {
        port_->PurgeRxBuffer();
        if (port_->WriteCommand(command, terminator, ui::Application::ProgramIsEnding))
            return true;
        if (Ending())
            return false;
    }
    portFailed_ = true;
    ReportWriteFailure(command);
    return false;
}

int QueryExchange::ReadInto(std::string& reply) {
    std::string read;
    const int count = port_->ReadBlock(read, ui::Application::ProgramIsEnding);
    if (count > 0)
        reply = read;
    return count;
}

// Both resends are made whatever the first one brings.
bool QueryExchange::ResendTwice(const std::string& command, std::string& reply, int& lastCount) {
    for (int resend = 0; resend < 2; ++resend) {
        if (!ResendQuery(command))
            return false;
        const int count = ReadInto(reply);
        lastCount = count > 0 ? count : lastCount;
    }
    return true;
}

bool QueryExchange::CheckErrorResponse(const std::string& command, const std::string& reply) {
    const ErrorScan scan = ScanErrorCodes(reply);
    if (!scan.shownCode.empty())
        ReportErrorResponse(scan.shownCode, command);
    return scan.errorFound;
}

void QueryExchange::ReportWriteFailure(const std::string& command) {
    ui::Dialogs().MessageBox("Serial Write Failed writing: " + command, "Serial Write Failure", ui::MsgIcon::Error,
                             ui::MsgButtons::Ok);
}

void QueryExchange::ReportErrorResponse(const std::string& code, const std::string& command) {
    ++errorBoxesShown_;
    ui::Dialogs().MessageBox("Serial Write resulted in an error response: \r\n " + code + " from command " + command,
                             "Error Reponse Received", ui::MsgIcon::Error, ui::MsgButtons::Ok);
}

}  // namespace settings_transfer
