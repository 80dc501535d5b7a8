// The Framont panel's laser controls and monitor, operated through their widgets.
#include "FramontFixture.h"

#include <QWheelEvent>

using framonttest::Commands;
using framonttest::FramontPanel;

namespace {

class FramontLaser : public FramontPanel {
protected:
    void SetUp() override {
        FramontPanel::SetUp();
        Open();
    }
};

TEST_F(FramontLaser, FireAndStopSendTheirCommandsAndColourTheButtons) {
    TFramontControlForm& p = panel();
    QTest::mouseClick(p.sbFire->Widget(), Qt::LeftButton);
    EXPECT_EQ(p.LaserFire, 3);
    EXPECT_TRUE(p.sbFire->Down());
    QTest::mouseClick(p.sbStop->Widget(), Qt::LeftButton);
    EXPECT_EQ(p.LaserFire, 1);
    EXPECT_TRUE(p.sbStop->Down());
    EXPECT_FALSE(p.sbFire->Down());
    EXPECT_EQ(Sent(), (Commands{";LC:FL 3", ";LC:FL 1"}));
}

TEST_F(FramontLaser, AWavelengthChoiceStopsTheLaserSendsTheLineAndReadsTheEnergy) {
    TFramontControlForm& p = panel();
    p.sbFireClick();
    p.tmrStatus->SetEnabled(false);
    Clear();
    Pick(*p.cbWavelength, 4);  // "532nm 1"
    EXPECT_EQ(Sent(), (Commands{";LC:FL 1", ";LC:SW 2 1", ";LC:ED?"}));
    EXPECT_TRUE(p.sbStop->Down());
    EXPECT_EQ(p.LaserFire, 1);
    EXPECT_EQ(p.WavelengthIndex, 4);
    EXPECT_TRUE(p.tmrStatus->Enabled());
}

TEST_F(FramontLaser, BurstModeShowsTheCountAndTheOtherModesHideIt) {
    TFramontControlForm& p = panel();
    Pick(*p.cbMode, 2);
    EXPECT_TRUE(p.leBurstCount->Visible());
    EXPECT_EQ(p.ModeIndex, 2);
    Pick(*p.cbMode, 1);
    EXPECT_FALSE(p.leBurstCount->Visible());
    EXPECT_EQ(Sent(), (Commands{";LC:MO 2", ";LC:MO 1"}));
}

TEST_F(FramontLaser, TheEnergyGoesWithItsRange) {
    TFramontControlForm& p = panel();
    ClickToggle(*p.rbHighEnergy);
    SelectAllAndType(*p.leEnergy, "250");
    PressEnter(*p.leEnergy);
    ClickToggle(*p.rbLowEnergy);
    EXPECT_EQ(Sent(), (Commands{";LC:ED 1,100", ";LC:ED 1,250", ";LC:ED 0,250"}));
    EXPECT_EQ(p.Energy, 250);
    EXPECT_EQ(p.EnergyRange, 0);
    EXPECT_EQ(p.leEnergy->Color(), ui::clWhite);
}

TEST_F(FramontLaser, AutoEnergyAndTheMonitorSendTheirSwitches) {
    TFramontControlForm& p = panel();
    ClickToggle(*p.cbAutoEnergy);
    ClickToggle(*p.cbAutoEnergy);
    ClickToggle(*p.rbVoltage);
    EXPECT_EQ(Sent(), (Commands{";LC:AE 1", ";LC:AE 0", ";LC:EM 0"}));
    EXPECT_EQ(p.AutoEnergy, 0);
    EXPECT_EQ(p.rbVoltage->Widget()->font().pointSize(), 16);
    EXPECT_EQ(p.rbEnergy->Widget()->font().pointSize(), 8);
}

TEST_F(FramontLaser, RatesAndCountsAreCommittedOnlyWithinTheirRanges) {
    TFramontControlForm& p = panel();
    SelectAllAndType(*p.leRepRate, "51");
    EXPECT_EQ(p.leRepRate->Text(), "50") << "the committed rate is back as the last digit is released";
    EXPECT_EQ(p.leRepRate->Color(), ui::clWhite);
    p.leRepRate->SetText("51");
    char enter = 13;
    p.leRepRate->OnKeyPress(enter);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(p.leRepRate->Text(), "50");
    SelectAllAndType(*p.leRepRate, "5");
    EXPECT_EQ(p.leRepRate->Color(), ui::clSilver);
    PressEnter(*p.leRepRate);
    Pick(*p.cbMode, 2);
    SelectAllAndType(*p.leBurstCount, "1000");
    PressEnter(*p.leBurstCount);
    EXPECT_EQ(Sent(), (Commands{";LC:RR 5", ";LC:MO 2", ";LC:BU 1000"}));
    EXPECT_EQ(p.RepRate, 5);
    EXPECT_EQ(p.BurstCount, 1000);
}

TEST_F(FramontLaser, LettersDoNotReachTheNumericEdits) {
    TFramontControlForm& p = panel();
    SelectAllAndType(*p.leRepRate, "a-1.");
    EXPECT_EQ(p.leRepRate->Text(), "1");
    SelectAllAndType(*p.edPolarization, "-x4");
    EXPECT_EQ(p.edPolarization->Text(), "-4");
}

TEST_F(FramontLaser, APolarizationPresetIsSentOnceAndOnlyWhenItChangesTheAngle) {
    TFramontControlForm& p = panel();
    p.cmdPAP90->Click();
    p.cmdPAP90->Click();
    EXPECT_EQ(Sent(), Commands{";LC:PA 90"});
    EXPECT_EQ(p.tbPolarization->Position(), 90);
    EXPECT_EQ(p.tbPolarization->SelStart(), 90);
    p.cmdPAN90->Click();
    EXPECT_EQ(Sent().back(), ";LC:PA -90");
    EXPECT_EQ(p.PolarizationAngle, -90);
}

TEST_F(FramontLaser, AnArrowKeyOnThePolarizationTrackBarSendsAtItsRelease) {
    TFramontControlForm& p = panel();
    QTest::keyPress(p.tbPolarization->Widget(), Qt::Key_Right);
    EXPECT_EQ(p.edPolarization->Text(), "1");
    EXPECT_EQ(p.edPolarization->Color(), ui::clSilver);
    EXPECT_TRUE(Sent().empty());
    QTest::keyRelease(p.tbPolarization->Widget(), Qt::Key_Right);
    EXPECT_EQ(Sent(), Commands{";LC:PA 1"});
    EXPECT_EQ(p.edPolarization->Color(), ui::clWhite);
    EXPECT_EQ(p.PolarizationAngle, 1);
}

TEST_F(FramontLaser, ADragSendsEverySecondPositionAndTheLastOneAtTheRelease) {
    TFramontControlForm& p = panel();
    Drag(*p.tbPolarization, {1, 2, 3, 4, 5});
    EXPECT_EQ(Sent(), (Commands{";LC:PA 2", ";LC:PA 4", ";LC:PA 5"}));
    EXPECT_EQ(p.edPolarization->Text(), "5");
    EXPECT_EQ(p.edPolarization->Color(), ui::clWhite);
}

TEST_F(FramontLaser, APassingWheelTurnOverTheModeListOrTheTrackBarChangesNoSetting) {
    TFramontControlForm& p = panel();
    p.edPolarization->SetFocus();
    for (ui::TControl* under : std::initializer_list<ui::TControl*>{p.cbMode, p.tbPolarization}) {
        const QPointF at(under->Widget()->width() / 2, under->Widget()->height() / 2);
        QWheelEvent wheel(at, under->Widget()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(under->Widget(), &wheel);
    }
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(p.tbPolarization->Position(), 0);
}

TEST_F(FramontLaser, ALoneMinusInThePolarizationEditIsNoAngle) {
    TFramontControlForm& p = panel();
    SelectAllAndType(*p.edPolarization, "-");
    EXPECT_EQ(p.edPolarization->Text(), "-") << "it reads as -90 while typing, which is in range";
    PressEnter(*p.edPolarization);
    EXPECT_EQ(app.dialogs.Exceptions(), std::vector<std::string>{"'-' is not a valid integer value"});
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(p.PolarizationAngle, 0);
    EXPECT_EQ(p.tbPolarization->Position(), 0);
}

}  // namespace
