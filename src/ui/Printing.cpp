#include "ui/Printing.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

#include <memory>
#include <stdexcept>

#include "platform/Clock.h"
#include "platform/Folders.h"
#include "ui/Control.h"

namespace ui {

std::string PrintDocument(const QTextDocument& document, const std::string& title) {
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(ToQt(title));
    std::string target;
    if (printerInfo.isNull()) {
        const auto path = platform::OrvelFolder() / "Logs" /
                          (title + " " + platform::FormatFileStamp(platform::Now()) + ".pdf");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(path.string()));
        target = path.string();
    } else {
        printer.setPrinterName(printerInfo.printerName());
        target = printerInfo.printerName().toStdString();
    }
    if (!printer.isValid())
        throw std::runtime_error("Printer selected is not valid.");
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->print(&printer);
    return target;
}

}  // namespace ui
