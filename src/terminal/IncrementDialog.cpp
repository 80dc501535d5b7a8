#include "terminal/IncrementDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "terminal/SmallDialog.h"
#include "ui/Dialogs.h"
#include "ui/GuiThread.h"

TIncrementForm* IncrementForm = nullptr;

TIncrementForm::TIncrementForm() : ui::TForm("Change Increment Rate", 240, 140) {
    BuildControls();
    ConnectHandlers();
    terminal::MakeFixedDialog(*this);
}

void TIncrementForm::BuildControls() {
    auto* layout = new QVBoxLayout(Client());
    Panel1 = Make<ui::TPanel>(Client());
    Panel1->SetColor(ui::clNavy);
    auto* panelLayout = new QVBoxLayout(Panel1->Widget());
    leIncValue = Make<ui::TLabeledEdit>(Panel1->Widget(), "X", "100");
    leIncValue->Label()->setStyleSheet(QStringLiteral("color: white;"));
    panelLayout->addWidget(leIncValue->Label());
    panelLayout->addWidget(leIncValue->Widget());
    layout->addWidget(Panel1->Widget());
    auto* buttons = new QHBoxLayout;
    cmdOK = terminal::MakeOkButton(*this, Client());
    cmdCancel = terminal::MakeCancelButton(*this, Client());
    buttons->addStretch(1);
    buttons->addWidget(cmdOK->Widget());
    buttons->addWidget(cmdCancel->Widget());
    layout->addLayout(buttons);
}

void TIncrementForm::ConnectHandlers() {
    leIncValue->OnKeyPress = [this](char& key) { leIncValueKeyPress(key); };
    leIncValue->OnClick = [this] { leIncValueSelectAll(); };
    leIncValue->OnKeyDown = [this](int& key) {
        if (key == ui::VK_LEFT || key == ui::VK_RIGHT)
            leIncValueSelectAll();
    };
    leIncValue->OnKeyUp = [this](int& key) {
        if (key == ui::VK_LEFT || key == ui::VK_RIGHT)
            leIncValueSelectAll();
    };
}

std::optional<std::string> TIncrementForm::AskText(const std::string& caption, const std::string& label,
                                                    const std::string& text) {
    return ui::OnGui([&]() -> std::optional<std::string> {
        SetCaption(caption);
        leIncValue->SetLabelCaption(label);
        leIncValue->SetText(text);
        CentreOnScreen();
        if (ShowModal() != ui::mrOk)
            return std::nullopt;
        return leIncValue->Text();
    });
}

void TIncrementForm::leIncValueKeyPress(char& key) {
    if (key != 13)
        return;
    key = 0;
    cmdOK->Click();
}

void TIncrementForm::leIncValueSelectAll() { leIncValue->SelectAll(); }
