#include "ui/FormFont.h"

#include <QApplication>
#include <QFontDatabase>

#include <iostream>

namespace ui {
namespace {

// Whether family is installed; says once on stderr that it is not.
bool Installed(const char* family) {
    if (QFontDatabase::hasFamily(family))
        return true;
    std::cerr << "talvane: the font " << family
              << " is not installed (Debian: fonts-liberation), so some texts may be cut\n";
    return false;
}

}  // namespace

void UseFormFont() {
    static bool done = false;
    if (done || QCoreApplication::instance() == nullptr)
        return;
    done = true;
    QFont font = QApplication::font();
    if (Installed(kFormFontFamily))
        font.setFamily(kFormFontFamily);
    font.setPointSize(kFormFontPoints);
    QApplication::setFont(font);
}

void UseNarrowFace(QFont& font) {
    static const bool installed = Installed(kNarrowFontFamily);
    if (installed)
        font.setFamily(kNarrowFontFamily);
}

}  // namespace ui
