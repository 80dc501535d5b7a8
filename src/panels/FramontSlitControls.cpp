// The Framont panel's group "SLIT CONTROLS ": magnification, X and Y sizes, square slit and theta.
#include "panels/FramontCommands.h"
#include "panels/FramontWidgets.h"
#include "panels/Framontcontrol.h"
#include "panels/PanelSyntax.h"

using namespace panels::framont;
using panels::EditKind;
using panels::NumberRead;

void TFramontControlForm::BuildSlitControls(QGridLayout& grid) {
    QGridLayout* slit = nullptr;
    GroupBox2 = MakeGroup(*this, "SLIT CONTROLS ", slit);
    QWidget* box = GroupBox2->Widget();

    slit->addWidget(MakeLabel(box, "Magnification"), 0, 0);
    std::vector<std::string> magnifications;
    for (int i = 0; i < kMagnificationCount; ++i)
        magnifications.push_back(MagnificationAt(i)->item);
    cbSlitMag = MakeList(*this, box, magnifications);
    cbSlitMag->SetHint("Select");
    cbSlitMag->OnSelect = [this] { cbSlitMagSelect(); };
    slit->addWidget(cbSlitMag->Widget(), 1, 0);
    cbSquareSlit = Make<ui::TCheckBox>(box, "Square");
    cbSquareSlit->OnClick = [this] { cbSquareSlitClick(); };
    slit->addWidget(cbSquareSlit->Widget(), 1, 1);

    leXSize = Make<ui::TLabeledEdit>(box, "X (um)", "2500");
    leYSize = Make<ui::TLabeledEdit>(box, "Y (um)", "2500");
    panels::PlaceLabeledEdit(*slit, *leXSize, 2, 0);
    panels::PlaceLabeledEdit(*slit, *leYSize, 2, 1);

    const AngleControls theta = MakeAngleRows(*this, box, *slit, 4, "Theta Rotation (DEG)", 45);
    tbTheta = theta.bar;
    edTheta = theta.edit;
    cmdTRN45 = theta.presets[0];
    cmdTR0 = theta.presets[1];
    cmdTRP34 = theta.presets[2];
    tbTheta->OnChange = [this] { tbThetaChange(); };
    cmdTRN45->OnClick = [this] { cmdTRN45Click(); };
    cmdTR0->OnClick = [this] { cmdTR0Click(); };
    cmdTRP34->OnClick = [this] { cmdTRP34Click(); };

    AttachMenu(PopupMenuSlit, {GroupBox2, cbSlitMag, cbSquareSlit, leXSize, leYSize, tbTheta, edTheta, cmdTRN45,
                               cmdTR0, cmdTRP34});
    grid.addWidget(GroupBox2->Widget(), 0, 1);
}

void TFramontControlForm::BindSlitEdits() {
    XSizeEdit = Make<panels::CommittedEdit>(*leXSize, SlitSizeSetup({leXSize, &SlitSizeX, true}));
    YSizeEdit = Make<panels::CommittedEdit>(*leYSize, SlitSizeSetup({leYSize, &SlitSizeY, false}));

    // The trackbar's change handler sets ThetaValue and sends.
    auto theta = WholeNumberSetup(EditKind::Signed, -45, 45, NumberRead::Strict(), NumberRead::WithDefault(-45),
                                  NumberRead::WithDefault(-45));
    theta.committed = [this] { return ThetaValue; };
    theta.commit = [this](double value) { tbTheta->SetPosition(static_cast<int>(value)); };
    ThetaEdit = Make<panels::CommittedEdit>(*edTheta, std::move(theta));
}

// A slit size is typed in shown units (stored size / magnification) with a point and no sign. The
// limit acts only while typing (a typed size above it reverts at once); a commit has no range test,
// so a size shown above the limit after a change of magnification (60 at 100x is 120 at 50x) commits
// as it stands, from the operator's Enter and from the panel file's replay alike. Without a chosen
// magnification (only the panel file or a controller reply can leave none) nothing is committed.
panels::CommittedEditSetup TFramontControlForm::SlitSizeSetup(const SlitSizeSide& side) {
    panels::CommittedEditSetup setup;
    setup.kind = EditKind::Floating;
    setup.flavour = panels::EditFlavour::Framont;
    setup.enterRead = setup.exitRead = setup.otherRead = NumberRead::Floating();
    setup.committed = [side] { return *side.size; };
    setup.committedText = [this, side] { return SlitMagnification > 0 ? ShownSize(*side.size) : side.edit->Text(); };
    setup.accepts = [this](double) { return SlitMagnification > 0; };
    setup.revertsOnKey = [this](double value) { return value > SlitSizeLimit; };
    setup.equalsCommitted = [this, side](double value) {
        return static_cast<long double>(value) * SlitMagnification == static_cast<long double>(*side.size);
    };
    setup.arrowKeys = [this, side](int key, bool down) { SlitSizeArrowKeys(side, key, down); };
    setup.commit = [this, side](double value) { CommitSlitSize(side, value); };
    return setup;
}

std::string TFramontControlForm::ShownSize(float size) const {
    return panels::FormatFixed(static_cast<double>(size) / SlitMagnification, 2);
}

void TFramontControlForm::CommitSlitSize(const SlitSizeSide& side, double value) {
    *side.size = static_cast<float>(static_cast<long double>(value) * SlitMagnification);
    side.edit->SetText(ShownSize(*side.size));
    if (side.isX && cbSquareSlit->Checked()) {
        SlitSizeY = SlitSizeX;
        leYSize->SetText(leXSize->Text());
        YSizeEdit->SetWhite();
    }
    WriteSlitSpotSize(cbSlitMag->ItemIndex(), leXSize->Text(), leYSize->Text());
}

// Right in X moves to Y (unless Y follows X), Left in Y moves back to X.
void TFramontControlForm::SlitSizeArrowKeys(const SlitSizeSide& side, int key, bool down) {
    ui::TLabeledEdit* target = nullptr;
    if (side.isX && down && key == ui::VK_RIGHT && !cbSquareSlit->Checked()) {
        target = leYSize;
        target->SetFocus();
    } else if (!side.isX && down && key == ui::VK_LEFT) {
        target = leXSize;
        target->SetFocus();
    } else if (!down && key == (side.isX ? ui::VK_LEFT : ui::VK_RIGHT)) {
        target = side.edit;
    }
    if (target != nullptr)
        target->SelectAll();
}

void TFramontControlForm::EnableSlitSizes(bool enabled) {
    cbSquareSlit->SetEnabled(enabled);
    leXSize->SetEnabled(enabled);
    leYSize->SetEnabled(enabled);
}

void TFramontControlForm::cbSlitMagSelect() {
    const int index = cbSlitMag->ItemIndex();
    const auto magnification = MagnificationAt(index);
    SlitMagnification = magnification ? magnification->factor : -1;
    EnableSlitSizes(magnification.has_value());
    if (magnification) {
        leXSize->SetText(ShownSize(SlitSizeX));
        if (cbSquareSlit->Checked()) {
            leYSize->SetText(ShownSize(SlitSizeX));
            SlitSizeY = SlitSizeX;
        } else {
            leYSize->SetText(ShownSize(SlitSizeY));
        }
        SlitSizeLimit = magnification->limit;
    }
    WriteSlitSpotSize(index, leXSize->Text(), leYSize->Text());
}

void TFramontControlForm::cbSquareSlitClick() {
    if (!cbSquareSlit->Checked()) {
        panels::SetLabeledEditVisible(*leYSize, true);
        leXSize->SetLabelCaption("X(um)");
        leYSize->SetLabelCaption("Y(um)");
        return;
    }
    panels::SetLabeledEditVisible(*leYSize, false);
    leXSize->SetLabelCaption("XY(um)");
    leYSize->SetText(leXSize->Text());
    SlitSizeY = SlitSizeX;
    WriteSlitSpotSize(cbSlitMag->ItemIndex(), leXSize->Text(), leYSize->Text());
    XSizeEdit->SetWhite();
    YSizeEdit->SetWhite();
}

void TFramontControlForm::leXSizeKeyPress(char& key) { XSizeEdit->KeyPress(key); }
void TFramontControlForm::leYSizeKeyPress(char& key) { YSizeEdit->KeyPress(key); }

void TFramontControlForm::WriteSlitSpotSize(int index, const std::string& x, const std::string& y) {
    SlitSpot = JoinSlitSpot(MagnificationText(index), x, y);
    Send(LaserCommand("SP", SlitSpot));
}

void TFramontControlForm::tbThetaChange() {
    TrackBarChanged(*tbTheta, *ThetaEdit, ThetaValue, tbTheta->Position(),
                    [this] { Send(LaserCommand("ST", ThetaValue)); });
}

void TFramontControlForm::edThetaKeyPress(char& key) { ThetaEdit->KeyPress(key); }

void TFramontControlForm::cmdTRN45Click() { EnterText(*ThetaEdit, "-45"); }
void TFramontControlForm::cmdTR0Click() { EnterText(*ThetaEdit, "0"); }
void TFramontControlForm::cmdTRP34Click() { EnterText(*ThetaEdit, "45"); }
