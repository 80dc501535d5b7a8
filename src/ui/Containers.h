#pragma once
// Labels and the controls that hold others: group boxes, panels, a notebook of pages, a splitter.
#include <string>
#include <vector>

#include "ui/Control.h"

class QGroupBox;
class QLabel;
class QStackedWidget;

namespace ui {

// A label placed by its bounds sizes itself to its caption (AutoSize, as the class library's labels
// do): its left and top stay, its width and height follow the text. A label in a layout gets its
// room from the layout instead.
class TLabel : public TControl {
public:
    TLabel(QWidget* parent, const std::string& caption);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    void SetBounds(int left, int top, int width, int height) override;

private:
    QLabel* Label() const;
    void FitToText();
    bool placed_ = false;  // placed by its bounds, not by a layout
};

class TGroupBox : public TControl {
public:
    TGroupBox(QWidget* parent, const std::string& caption);
    std::string Caption() const;
    void SetCaption(const std::string& caption);

private:
    QGroupBox* Box() const;
};

class TPanel : public TControl {
public:
    TPanel(QWidget* parent, const std::string& caption = "");
    std::string Caption() const;
    void SetCaption(const std::string& caption);

private:
    void MakeCaption(const std::string& caption);
    QLabel* caption_;
};

// Pages of which one is shown. OnPageChanged runs when the shown page changes.
class TNotebook : public TControl {
public:
    explicit TNotebook(QWidget* parent);
    // Adds a page and returns the widget to put its controls on.
    QWidget* AddPage(const std::string& name);
    int PageIndex() const;
    void SetPageIndex(int index);
    std::string ActivePage() const;

    TNotifyEvent OnPageChanged;

private:
    QStackedWidget* Stack() const;
    std::vector<std::string> names_;
};

// An upright bar between two areas of a row that the operator drags sideways: it resizes the
// right- or left-aligned control beside it that the form names (as the class library's splitter
// resizes the control aligned on its side), and the client-aligned area takes what is left. Neither
// area becomes narrower than kMinSize pixels.
class TSplitter : public TControl {
public:
    static constexpr int kMinSize = 30;

    explicit TSplitter(QWidget* parent);
    void SetResizedControl(TControl* control) { resized_ = control; }
    TControl* ResizedControl() const { return resized_; }

private:
    TControl* resized_ = nullptr;
};

}  // namespace ui
