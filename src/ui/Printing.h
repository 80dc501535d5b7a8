#pragma once
// Printing on the default printer; where no printer is set up, a PDF named after the document title
// and the date-time (mmddyy_hhnnss) goes into the Logs folder of the Orvel folder, never over an
// earlier one (" (2)", " (3)", ... are added), and an information box tells the operator its path.
#include <string>

class QTextDocument;

namespace ui {

// Returns the printer's name, or the path of the PDF written. Raises std::runtime_error on failure.
std::string PrintDocument(const QTextDocument& document, const std::string& title);

}  // namespace ui
