// The Ondrel panel on the real forms: what each control sends to the instrument.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QSlider>
#include <QTest>

#include "panels/Ondrelcontrol.h"
#include "panels/PanelFixture.h"
#include "support/ScopedPlatformHooks.h"

using paneltest::Commands;

namespace {

class OndrelPanel : public paneltest::PanelFixture {
protected:
    void SetUp() override {
        PanelFixture::SetUp();
        OpenAsOperator(&TTalvaneForm::OndrelControl1Click, panel());
    }
    TOndrelControlForm& panel() { return *OndrelControlForm; }

    static void TypeAndEnter(ui::TEdit& edit, const std::string& text) {
        paneltest::Type(edit, text);
        paneltest::Enter(edit);
    }
};

TEST_F(OndrelPanel, TheBlackFormLeavesItsControlsTheirOwnColours) {
    const QImage shown = panel().Window()->grab().toImage();
    // Near the top right corner, inside the frame and clear of any text.
    const auto colourAt = [&](ui::TControl& control) {
        const QPoint inside(control.Widget()->width() - 5, 5);
        return shown.pixelColor(control.Widget()->mapTo(panel().Window(), inside));
    };
    const QColor base = QApplication::palette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(colourAt(*panel().leXSize), base);
    EXPECT_EQ(colourAt(*panel().leTheta), base);
    EXPECT_NE(colourAt(*panel().sbFire), QColor(Qt::black));
    EXPECT_NE(colourAt(*panel().cbMode), QColor(Qt::black));
    EXPECT_EQ(panel().cbSquare->Widget()->palette().color(QPalette::WindowText),
              QApplication::palette().color(QPalette::WindowText));
}

TEST_F(OndrelPanel, ThetaTrackbarSendsItsStepsAndOneArrowPressSendsTheNewPositionTwice) {
    panel().tbTheta->SetPosition(-45);
    panel().tbTheta->SetPosition(45);
    panel().tbTheta->SetPosition(0);
    EXPECT_EQ(Sent(), (Commands{";LC:ST 0000", ";LC:ST 0D76", ";LC:ST 06BB"}));
    instrument.ClearReceived();

    QTest::keyClick(panel().tbTheta->Widget(), Qt::Key_Right);
    EXPECT_EQ(Sent(), (Commands{";LC:ST 06E1", ";LC:ST 06E1"})) << "key down, then the closing notification";
    EXPECT_EQ(panel().ThetaAngle, 1);
    EXPECT_EQ(panel().leTheta->Text(), "1");
    EXPECT_EQ(panel().leTheta->Color(), ui::clWhite);
    EXPECT_EQ(panel().tbTheta->SelStart(), 1);
}

TEST_F(OndrelPanel, SlitCommitsSendBothSizesReadingAnEmptyOtherSizeAs400) {
    panel().leYSize->SetText("1000");
    TypeAndEnter(*panel().leXSize, "2500");
    panel().leYSize->SetText("");
    TypeAndEnter(*panel().leXSize, "265");
    panel().leXSize->SetText("");
    TypeAndEnter(*panel().leYSize, "6000");
    EXPECT_EQ(Sent(), (Commands{";SL:SP 01F4,00C8", ";SL:SP 0034,0050", ";SL:SP 0050,04B0"}));
    EXPECT_EQ(panel().SlitX, 265);
    EXPECT_EQ(panel().SlitY, 6000);
    EXPECT_EQ(panel().leYSize->Color(), ui::clWhite);
}

TEST_F(OndrelPanel, SquareSendsXForBothSizesAndUncheckingItSendsNothing) {
    panel().leXSize->SetText("400");
    panel().leYSize->SetText("123");
    panel().cbSquare->SetChecked(true);
    EXPECT_EQ(Sent(), Commands{";SL:SP 0050,0050"});
    EXPECT_EQ(panel().leXSize->LabelCaption(), "XY (um)");
    EXPECT_FALSE(panel().leYSize->Visible());
    EXPECT_EQ(panel().leYSize->Text(), "400");

    TypeAndEnter(*panel().leXSize, "1000");
    EXPECT_EQ(Sent().back(), ";SL:SP 00C8,00C8") << "a square X commit sends X twice";
    instrument.ClearReceived();
    panel().cbSquare->SetChecked(false);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(panel().leXSize->LabelCaption(), "X (um)");
    EXPECT_TRUE(panel().leYSize->Visible());
    EXPECT_EQ(panel().leYSize->Text(), "1000");
    EXPECT_EQ(panel().leYSize->Color(), ui::clWhite);
    EXPECT_EQ(panel().SlitY, 0) << "the square box changes no committed size";
}

TEST_F(OndrelPanel, FirePausesBetweenItsTwoCommandsAndColoursItsCaption) {
    testsupport::ScopedPauses pauses(1);
    panel().sbFire->Click();
    EXPECT_EQ(Sent(), (Commands{";LC:FL 2", ";LC:FL 3"}));
    EXPECT_EQ(pauses.Count(100), 1u);
    EXPECT_TRUE(panel().sbFire->Widget()->styleSheet().contains("color: #ff0000"));
    panel().sbStop->Click();
    EXPECT_EQ(Sent().back(), ";LC:FL 1");
    EXPECT_FALSE(panel().sbFire->Widget()->styleSheet().contains("color: #ff0000"));
}

TEST_F(OndrelPanel, ListsSendTheChosenItemsCommandAndBurstAloneShowsTheCount) {
    panel().cbWavelength->SetItemIndex(8);
    panel().cbWavelengthSelect();
    EXPECT_EQ(Sent(), Commands{";LC:SW 4 2"});
    instrument.ClearReceived();

    panel().cbMode->SetItemIndex(1);
    panel().cbModeSelect();
    EXPECT_FALSE(panel().leBurstCount->Visible());
    panel().cbMode->SetItemIndex(2);
    panel().cbModeSelect();
    EXPECT_TRUE(panel().leBurstCount->Visible());
    panel().cbMode->SetItemIndex(-1);
    panel().cbModeSelect();
    EXPECT_FALSE(panel().leBurstCount->Visible());
    EXPECT_EQ(Sent(), (Commands{";LC:MO 1", ";LC:MO 2"}));
}

TEST_F(OndrelPanel, ClosingSendsTheStopAndLeavesTheMainWindowAsItIs) {
    Main().SetWindowState(ui::WindowState::Minimized);
    panel().Close();
    EXPECT_FALSE(panel().Visible());
    EXPECT_EQ(Sent(), Commands{";LC:FL 0"});
    EXPECT_EQ(Main().State(), ui::WindowState::Minimized);
}

}  // namespace
