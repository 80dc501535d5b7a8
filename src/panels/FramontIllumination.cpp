// The Framont panel's group "ILLUMINATION": the field and slit illuminators, each a vertical trackbar
// (top 100 %), an edit in percent and an ON/OFF button. The controller takes raw levels 0..255.
#include "panels/FramontCommands.h"
#include "panels/FramontWidgets.h"
#include "panels/Framontcontrol.h"

using namespace panels::framont;
using panels::EditKind;
using panels::NumberRead;

namespace {

constexpr int kFieldUnit = 0;
constexpr int kSlitUnit = 1;
constexpr int kTrackBarHeight = 120;  // pixels for 0..100 %: about one step per pixel

}  // namespace

void TFramontControlForm::BuildIllumination(QGridLayout& grid) {
    QGridLayout* lamps = nullptr;
    GroupBox1 = MakeGroup(*this, "ILLUMINATION", lamps);
    QWidget* box = GroupBox1->Widget();
    lamps->addWidget(panels::MakeCaption(box, "INTENSITY", ui::clBlue), 0, 0, 1, 2, Qt::AlignCenter);
    lamps->addWidget(MakeLabel(box, "%FIELD"), 1, 0, Qt::AlignCenter);
    lamps->addWidget(MakeLabel(box, "%SLIT"), 1, 1, Qt::AlignCenter);

    tbFieldLED = Make<ui::TTrackBar>(box, true);
    tbSlitLED = Make<ui::TTrackBar>(box, true);
    edFieldLED = Make<ui::TEdit>(box, "100");
    edSlitLED = Make<ui::TEdit>(box, "100");
    cmdILFieldONOFF = Make<ui::TButton>(box, "OFF");
    cmdSlitILONOFF = Make<ui::TButton>(box, "OFF");
    int column = 0;
    for (ui::TTrackBar* bar : {tbFieldLED, tbSlitLED}) {
        ShapeTrackBar(*bar, 0, 100, 100, 100, 100);
        bar->Widget()->setFixedHeight(kTrackBarHeight);
        lamps->addWidget(bar->Widget(), 2, column++, Qt::AlignHCenter);
    }
    column = 0;
    for (ui::TEdit* edit : {edFieldLED, edSlitLED}) {
        edit->SetHint("(0 - 100)");
        lamps->addWidget(edit->Widget(), 3, column++);
    }
    lamps->addWidget(cmdILFieldONOFF->Widget(), 4, 0);
    lamps->addWidget(cmdSlitILONOFF->Widget(), 4, 1);
    tbFieldLED->OnChange = [this] { tbFieldLEDChange(); };
    tbSlitLED->OnChange = [this] { tbSlitLEDChange(); };
    cmdILFieldONOFF->OnClick = [this] { cmdILFieldONOFFClick(); };
    cmdSlitILONOFF->OnClick = [this] { cmdSlitILONOFFClick(); };

    AttachMenu(PopupMenuIlluminator, {GroupBox1, tbFieldLED, tbSlitLED, edFieldLED, edSlitLED, cmdILFieldONOFF,
                                      cmdSlitILONOFF});
    grid.addWidget(GroupBox1->Widget(), 1, 1);
}

void TFramontControlForm::BindIlluminatorEdits() {
    // The trackbar's change handler sets the committed percent and sends.
    const auto percentEdit = [this](ui::TEdit& edit, ui::TTrackBar& bar, int& committed) {
        auto setup = WholeNumberSetup(EditKind::Signed, 0, 100, NumberRead::Strict(), NumberRead::WithDefault(0),
                                      NumberRead::WithDefault(0));
        setup.committed = [&committed] { return committed; };
        setup.commit = [&bar](double value) { bar.SetPosition(PositionOfPercent(static_cast<int>(value))); };
        return Make<panels::CommittedEdit>(edit, std::move(setup));
    };
    FieldLEDEdit = percentEdit(*edFieldLED, *tbFieldLED, FieldLEDValue);
    SlitLEDEdit = percentEdit(*edSlitLED, *tbSlitLED, SlitLEDValue);
}

TFramontControlForm::Illuminator TFramontControlForm::FieldIlluminator() {
    return {tbFieldLED, edFieldLED, FieldLEDEdit, cmdILFieldONOFF, &FieldLEDValue, &FieldLEDRaw, &FieldIlluminatorOff,
            kFieldUnit};
}

TFramontControlForm::Illuminator TFramontControlForm::SlitIlluminator() {
    return {tbSlitLED, edSlitLED, SlitLEDEdit, cmdSlitILONOFF, &SlitLEDValue, &SlitLEDRaw, &SlitIlluminatorOff,
            kSlitUnit};
}

void TFramontControlForm::IlluminatorChanged(const Illuminator& lamp) {
    TrackBarChanged(*lamp.bar, *lamp.committed, *lamp.value, PercentOfPosition(lamp.bar->Position()),
                    [this, lamp] { SendLevelUnlessOff(lamp); });
}

// The committed level is the one saved. An illuminator switched off keeps it for its next ON instead
// of being sent it, which would light a lamp the panel shows off.
void TFramontControlForm::SendLevelUnlessOff(const Illuminator& lamp) {
    *lamp.raw = IlluminatorRaw(*lamp.value);
    if (!*lamp.off)
        Send(IlluminatorCommand(lamp.unit, *lamp.raw));
}

// The level the trackbar shows becomes the committed one. The illuminator is sent it only when it
// was not the last level sent or kept (the selection start marks that one), and not while off.
void TFramontControlForm::SettleIlluminatorLevel(const Illuminator& lamp) {
    const int position = lamp.bar->Position();
    const bool alreadyKept = lamp.bar->SelStart() == position;
    *lamp.value = PercentOfPosition(position);
    lamp.bar->SetSelStart(position);
    if (alreadyKept)
        *lamp.raw = IlluminatorRaw(*lamp.value);
    else
        SendLevelUnlessOff(lamp);
}

void TFramontControlForm::tbFieldLEDChange() { IlluminatorChanged(FieldIlluminator()); }
void TFramontControlForm::tbSlitLEDChange() { IlluminatorChanged(SlitIlluminator()); }

void TFramontControlForm::edFieldLEDKeyPress(char& key) { FieldLEDEdit->KeyPress(key); }
void TFramontControlForm::edSlitLEDKeyPress(char& key) { SlitLEDEdit->KeyPress(key); }

// The level the controller is to have: the one kept for the illuminator while on, 0 while off.
int TFramontControlForm::ControllerLevel(const Illuminator& lamp) { return *lamp.off ? 0 : *lamp.raw; }

// Shown on, with its trackbar and edit usable; nothing is sent.
void TFramontControlForm::ShowIlluminatorOn(const Illuminator& lamp) {
    lamp.bar->SetEnabled(true);
    lamp.edit->SetEnabled(true);
    lamp.button->SetCaption("ON");
    *lamp.off = false;
}

// The caption names the present state. Switching on restores the level last sent or committed while
// off, which the trackbar's selection start keeps; the edit's commit then sends only when its text
// asks for another.
void TFramontControlForm::SwitchIlluminator(const Illuminator& lamp) {
    if (!*lamp.off) {
        lamp.button->SetCaption("OFF");
        Send(IlluminatorCommand(lamp.unit, 0));
        lamp.bar->SetEnabled(false);
        lamp.edit->SetEnabled(false);
        *lamp.off = true;
        return;
    }
    // On before the commit: a text the commit cannot read must not leave the button and flag apart.
    ShowIlluminatorOn(lamp);
    Send(IlluminatorCommand(lamp.unit, IlluminatorRaw(PercentOfPosition(lamp.bar->SelStart()))));
    PressEnter(*lamp.committed);
}

void TFramontControlForm::cmdILFieldONOFFClick() { SwitchIlluminator(FieldIlluminator()); }
void TFramontControlForm::cmdSlitILONOFFClick() { SwitchIlluminator(SlitIlluminator()); }
