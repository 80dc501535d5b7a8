#include "ui/Printing.h"

#include <fcntl.h>
#include <unistd.h>

#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "platform/Clock.h"
#include "platform/Folders.h"
#include "ui/Control.h"
#include "ui/Dialogs.h"

namespace ui {
namespace {

// More prints of one title in one second than any operator makes.
constexpr int kMaxPdfsPerSecond = 1000;

// A new, empty PDF file in Logs named after the title and the date-time, with " (2)", " (3)", ...
// added when a file of that name exists, so that no earlier printout is written over.
std::filesystem::path ReserveNewPdf(const std::string& title) {
    const std::string base = title + " " + platform::FormatFileStamp(platform::Now());
    const std::filesystem::path logs = platform::OrvelFolder() / "Logs";
    for (int copy = 1; copy <= kMaxPdfsPerSecond; ++copy) {
        const auto path = logs / (base + (copy == 1 ? "" : " (" + std::to_string(copy) + ")") + ".pdf");
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
            break;
    }
    throw std::runtime_error("Cannot create a PDF file for \"" + title + "\" in \"" + logs.string() + "\".");
}

void TellWherePdfWent(const std::filesystem::path& path) {
    Dialogs().MessageBox("No printer is set up. The printout was saved as\r\n" + path.string(), "Print",
                         MsgIcon::Information, MsgButtons::Ok);
}

}  // namespace

std::string PrintDocument(const QTextDocument& document, const std::string& title) {
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(ToQt(title));
    std::filesystem::path pdf;
    if (printerInfo.isNull()) {
        pdf = ReserveNewPdf(title);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
    } else {
        printer.setPrinterName(printerInfo.printerName());
    }
    if (!printer.isValid()) {
        if (!pdf.empty())
            std::filesystem::remove(pdf);
        throw std::runtime_error("Printer selected is not valid.");
    }
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->print(&printer);
    if (pdf.empty())
        return printerInfo.printerName().toStdString();
    TellWherePdfWent(pdf);
    return pdf.string();
}

}  // namespace ui
