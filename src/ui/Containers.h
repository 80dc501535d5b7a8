#pragma once
// Labels and the controls that hold others: group boxes, panels, a notebook of pages, a splitter.
#include <string>
#include <vector>

#include "ui/Control.h"

class QGroupBox;
class QLabel;
class QStackedWidget;

namespace ui {

class TLabel : public TControl {
public:
    TLabel(QWidget* parent, const std::string& caption);
    std::string Caption() const;
    void SetCaption(const std::string& caption);

private:
    QLabel* Label() const;
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

// A visible divider between two areas; the form places it.
class TSplitter : public TControl {
public:
    explicit TSplitter(QWidget* parent);
};

}  // namespace ui
