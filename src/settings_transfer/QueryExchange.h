#pragma once
// The settings window's own exchange with the instrument, past the main window's send road: each
// command goes out with CR LF, each of the two resends with a lone CR; the reply is read with the
// port object's block read and scanned for error codes, some of which the operator is shown.
//
// A write that fails means the port is gone: it is shown once, the exchange ends at once, and
// PortFailed stays true until the next Reset, so the transfer around it can stop. Nothing more is
// written once the program is ending (an end signal came, the display is gone): the transfer runs
// without the message loop, so it looks before each write, and Stopped tells the transfer to stop.
// A wait for a reply's first byte, and for a line that takes no data, ends as the program ends.
#include <string>

#include "settings_transfer/QueryFile.h"

class CSerialPort;

namespace settings_transfer {

// What CheckErrorResponse makes of a reply.
struct ErrorScan {
    bool errorFound = false;
    std::string shownCode;  // the code the operator is shown, "" for none
};

// "?E0" .. "?E9" are errors passed silently; "?1", "?2", "?4" .. "?7" are shown; "?3" counts as none.
ErrorScan ScanErrorCodes(const std::string& reply);

class QueryExchange {
public:
    // The port is not owned; nullptr is a port that cannot be written.
    void SetPort(CSerialPort* port) { port_ = port; }
    CSerialPort* Port() const { return port_; }

    // One exchange; returns the last reply that brought bytes ("" when none did).
    std::string SendQuery(const std::string& command, QueryMode mode);
    // Purge, then the command with a lone CR; false (shown once) when the write fails.
    bool ResendQuery(const std::string& command);
    bool CheckErrorResponse(const std::string& command, const std::string& reply);
    void ReportWriteFailure(const std::string& command);
    void ReportErrorResponse(const std::string& code, const std::string& command);

    bool PortFailed() const { return portFailed_; }
    bool Stopped() const { return portFailed_ || ending_; }
    // Error-reply boxes shown so far, so that a caller can tell whether an exchange had its own box.
    int ErrorBoxesShown() const { return errorBoxesShown_; }
    void Reset() { portFailed_ = ending_ = false; }

private:
    bool WriteFirst(const std::string& command);
    bool Write(const std::string& command, const std::string& terminator);
    // Notes, and tells, whether the program is ending.
    bool Ending();
    // Reads a reply; one that brought nothing leaves reply as it was.
    int ReadInto(std::string& reply);
    // The two resends, each followed by a read; false when a write failed.
    bool ResendTwice(const std::string& command, std::string& reply, int& lastCount);

    CSerialPort* port_ = nullptr;
    bool portFailed_ = false;
    bool ending_ = false;
    int errorBoxesShown_ = 0;
};

}  // namespace settings_transfer
