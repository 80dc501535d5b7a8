#pragma once
// Status bars with panels, progress bars, up-down buttons and the key/value list.
#include <string>
#include <vector>

#include "ui/Control.h"

class QProgressBar;
class QSpinBox;
class QTableWidget;
class QLabel;

namespace ui {

class TStatusBar : public TControl {
public:
    // One panel per entry: its initial text and width in pixels.
    TStatusBar(QWidget* parent, const std::vector<std::pair<std::string, int>>& panels);
    std::string PanelText(int index) const;
    void SetPanelText(int index, const std::string& text);
    int PanelCount() const { return static_cast<int>(panels_.size()); }

private:
    std::vector<QLabel*> panels_;
};

class TProgressBar : public TControl {
public:
    explicit TProgressBar(QWidget* parent);
    int Min() const;
    void SetMin(int value);
    int Max() const;
    void SetMax(int value);
    int Position() const;
    void SetPosition(int value);

private:
    QProgressBar* Bar() const;
};

class TUpDown : public TControl {
public:
    explicit TUpDown(QWidget* parent);
    int Min() const;
    void SetMin(int value);
    int Max() const;
    void SetMax(int value);
    int Position() const;
    void SetPosition(int value);
    TNotifyEvent OnChange;

private:
    QSpinBox* Spin() const;
};

// A two-column list of keys and values with column titles.
class TValueListEditor : public TControl {
public:
    TValueListEditor(QWidget* parent, const std::string& keyTitle, const std::string& valueTitle);
    std::string KeyTitle() const;
    std::string ValueTitle() const;
    int RowCount() const;
    void AddRow(const std::string& key, const std::string& value);
    std::string Value(const std::string& key) const;
    void Clear();

private:
    QTableWidget* Table() const;
};

}  // namespace ui
