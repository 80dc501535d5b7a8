// The Framont panel's slit, theta and illumination controls, operated through their widgets.
#include "FramontFixture.h"

#include <QWheelEvent>

using framonttest::Commands;
using framonttest::FramontPanel;

namespace {

class FramontSlit : public FramontPanel {
protected:
    void SetUp() override {
        FramontPanel::SetUp();
        Open();  // 1x, both sizes 2500; field 50 %, slit 35 %; theta 0
    }
    void Commit(ui::TEdit& edit, const std::string& text) {
        SelectAllAndType(edit, text);
        PressEnter(edit);
    }
};

TEST_F(FramontSlit, AnArrowKeyOnTheThetaTrackBarSendsOnceAtItsRelease) {
    TFramontControlForm& p = panel();
    QTest::keyPress(p.tbTheta->Widget(), Qt::Key_Right);
    EXPECT_EQ(p.edTheta->Text(), "1");
    EXPECT_EQ(p.edTheta->Color(), ui::clSilver);
    EXPECT_TRUE(Sent().empty());
    QTest::keyRelease(p.tbTheta->Widget(), Qt::Key_Right);
    EXPECT_EQ(Sent(), Commands{";LC:ST 1"});
    EXPECT_EQ(p.edTheta->Color(), ui::clWhite);
    EXPECT_EQ(p.tbTheta->SelStart(), 1);
}

TEST_F(FramontSlit, ADragSendsTheFinalPositionExactlyOnce) {
    TFramontControlForm& p = panel();
    Drag(*p.tbTheta, {1, 2, 3, 4});
    EXPECT_EQ(Sent(), (Commands{";LC:ST 2", ";LC:ST 4"})) << "4 went out during the drag";
    p.cmdTR0->Click();
    Clear();
    Drag(*p.tbTheta, {1, 2, 3});
    EXPECT_EQ(Sent(), (Commands{";LC:ST 2", ";LC:ST 3"}));
    EXPECT_EQ(p.ThetaValue, 3);
}

TEST_F(FramontSlit, AClickInTheChannelOrAWheelTurnIsSentWhenItEnds) {
    TFramontControlForm& p = panel();
    QSlider* slider = p.tbTheta->Slider();
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() - 3, slider->height() / 2));
    EXPECT_EQ(Sent(), Commands{";LC:ST 2"}) << "one page to the right";
    QWheelEvent wheel(QPointF(5, 5), slider->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(slider, &wheel);
    EXPECT_EQ(Sent().back(), ";LC:ST " + std::to_string(slider->value()));
    EXPECT_EQ(Sent().size(), 2u);
    EXPECT_EQ(p.edTheta->Color(), ui::clWhite);
}

TEST_F(FramontSlit, ATypedThetaMovesTheTrackBarAndIsSentOnce) {
    TFramontControlForm& p = panel();
    Commit(*p.edTheta, "30");
    EXPECT_EQ(Sent(), Commands{";LC:ST 30"});
    EXPECT_EQ(p.tbTheta->Position(), 30);
    EXPECT_EQ(p.edTheta->Color(), ui::clWhite);
    EXPECT_EQ(p.edTheta->SelText(), "30");
    EXPECT_TRUE(p.edTheta->Focused());
    PressEnter(*p.edTheta);
    EXPECT_EQ(Sent(), Commands{";LC:ST 30"}) << "the trackbar shows 30 already";
}

TEST_F(FramontSlit, AThetaPresetSendsOnlyWhenItMovesTheTrackBar) {
    TFramontControlForm& p = panel();
    p.cmdTRN45->Click();
    p.cmdTRN45->Click();
    p.cmdTRP34->Click();
    EXPECT_EQ(Sent(), (Commands{";LC:ST -45", ";LC:ST 45"}));
}

TEST_F(FramontSlit, ThetaOutOfRangeReturnsToTheCommittedValue) {
    TFramontControlForm& p = panel();
    SelectAllAndType(*p.edTheta, "46");
    EXPECT_EQ(p.edTheta->Text(), "0");
    p.edTheta->SetText("-46");
    char enter = 13;
    p.edThetaKeyPress(enter);
    EXPECT_EQ(p.edTheta->Text(), "0");
    EXPECT_EQ(p.edTheta->Color(), ui::clWhite);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(FramontSlit, IlluminatorPercentagesGoOutAsRawLevels) {
    TFramontControlForm& p = panel();
    Commit(*p.edFieldLED, "0");
    Commit(*p.edFieldLED, "50");
    EXPECT_EQ(p.tbFieldLED->Position(), 50);
    Commit(*p.edSlitLED, "100");
    EXPECT_EQ(p.tbSlitLED->Position(), 0);
    Commit(*p.edSlitLED, "0");
    EXPECT_EQ(Sent(), (Commands{";LC:IL 0,0", ";LC:IL 0,127", ";LC:IL 1,255", ";LC:IL 1,0"}));
    EXPECT_EQ(p.SlitLEDRaw, 0);
    EXPECT_EQ(p.FieldLEDRaw, 127);
}

TEST_F(FramontSlit, UpOnAnIlluminatorTrackBarRaisesTheIntensity) {
    for (ui::TTrackBar* bar : {panel().tbFieldLED, panel().tbSlitLED})
        EXPECT_GE(bar->Height(), 100) << "0 .. 100 % needs a track long enough to point at";
    TFramontControlForm& p = panel();
    QTest::keyClick(p.tbFieldLED->Widget(), Qt::Key_Up);
    EXPECT_EQ(p.edFieldLED->Text(), "51");
    EXPECT_EQ(Sent(), Commands{";LC:IL 0,130"});
}

TEST_F(FramontSlit, SwitchingAnIlluminatorOffAndOnRestoresTheLevelLastSent) {
    TFramontControlForm& p = panel();
    p.cmdILFieldONOFF->Click();
    EXPECT_EQ(p.cmdILFieldONOFF->Caption(), "OFF");
    EXPECT_FALSE(p.tbFieldLED->Enabled());
    EXPECT_FALSE(p.edFieldLED->Enabled());
    EXPECT_TRUE(p.FieldIlluminatorOff);
    p.cmdILFieldONOFF->Click();
    EXPECT_EQ(p.cmdILFieldONOFF->Caption(), "ON");
    EXPECT_TRUE(p.tbFieldLED->Enabled());
    EXPECT_TRUE(p.edFieldLED->Enabled());
    EXPECT_EQ(Sent(), (Commands{";LC:IL 0,0", ";LC:IL 0,127"}));
}

TEST_F(FramontSlit, ALevelCommittedWhileTheIlluminatorIsOffWaitsForTheNextOn) {
    TFramontControlForm& p = panel();
    p.cmdILFieldONOFF->Click();
    Clear();
    char enter = 13;
    p.edFieldLED->SetText("80");
    p.edFieldLEDKeyPress(enter);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(p.tbFieldLED->Position(), 20);
    p.cmdILFieldONOFF->Click();
    EXPECT_EQ(Sent(), Commands{";LC:IL 0,204"});
    EXPECT_EQ(p.FieldLEDRaw, 204);
}

TEST_F(FramontSlit, TheOffStateSurvivesAClosingAndTheReplayKeepsIt) {
    TFramontControlForm& p = panel();
    p.cmdSlitILONOFFClick();
    Close();
    Clear();
    app.Main().GRNIRControl1Click();
    EXPECT_TRUE(p.SlitIlluminatorOff);
    EXPECT_EQ(p.cmdSlitILONOFF->Caption(), "OFF");
    EXPECT_FALSE(p.tbSlitLED->Enabled());
    const Commands sent = Sent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), ";LC:IL 1,0"), sent.end());
    EXPECT_EQ(sent.back().rfind(";LC:SP", 0), 0u) << "the replay went on after the disabled controls";
}

TEST_F(FramontSlit, AMagnificationShowsTheSizesInItsUnitsWithItsLimit) {
    TFramontControlForm& p = panel();
    Pick(*p.cbSlitMag, 1);
    EXPECT_EQ(p.leXSize->Text(), "500.00");
    EXPECT_EQ(p.leYSize->Text(), "500.00");
    EXPECT_EQ(p.SlitSizeLimit, 600.0F);
    Pick(*p.cbSlitMag, 5);
    EXPECT_EQ(p.leXSize->Text(), "25.00");
    EXPECT_EQ(p.SlitSizeLimit, 60.0F);
    Pick(*p.cbSlitMag, 4);
    EXPECT_EQ(p.SlitSizeLimit, 60.0F);
    EXPECT_EQ(Sent(), (Commands{";LC:SP 5,500.00,500.00", ";LC:SP 100,25.00,25.00", ";LC:SP 50,50.00,50.00"}));
    EXPECT_EQ(p.SlitSizeX, 2500.0F) << "only the shown values change";
}

TEST_F(FramontSlit, ASizeAboveTheLimitReturnsAsTheKeyIsReleased) {
    TFramontControlForm& p = panel();
    Pick(*p.cbSlitMag, 1);
    Clear();
    SelectAllAndType(*p.leXSize, "601");
    EXPECT_EQ(p.leXSize->Text(), "500.00");
    EXPECT_TRUE(Sent().empty());
    Commit(*p.leXSize, "600");
    EXPECT_EQ(p.SlitSizeX, 3000.0F);
    EXPECT_EQ(p.leXSize->Text(), "600.00");
    EXPECT_EQ(Sent(), Commands{";LC:SP 5,600.00,500.00"});
    EXPECT_EQ(p.SlitSpot, "5,600.00,500.00");
}

// The limit acts only while typing: a size that a change of magnification shows above it commits
// as it stands, and the panel file brings it back at the next opening.
TEST_F(FramontSlit, ASizeShownAboveTheLimitCommitsAndComesBackAfterReopening) {
    TFramontControlForm& p = panel();
    Pick(*p.cbSlitMag, 5);
    Commit(*p.leXSize, "60");
    Pick(*p.cbSlitMag, 4);
    EXPECT_EQ(p.SlitSizeLimit, 60.0F);
    Clear();
    p.leXSize->SetFocus();
    PressEnter(*p.leXSize);
    EXPECT_EQ(Sent(), Commands{";LC:SP 50,120.00,50.00"}) << "Enter commits 120 at 50x with no range test";
    EXPECT_EQ(p.SlitSizeX, 6000.0F);
    Close();
    EXPECT_NE(framonttest::ReadPanelFile().find("\r\n50,120.00,50.00\r\n"), std::string::npos);

    Clear();
    app.Main().GRNIRControl1Click();
    EXPECT_EQ(Sent().back(), ";LC:SP 50,120.00,50.00");
    EXPECT_EQ(p.leXSize->Text(), "120.00");
    EXPECT_EQ(p.SlitSizeX, 6000.0F);
    EXPECT_EQ(p.SlitSpot, "50,120.00,50.00");
}

TEST_F(FramontSlit, ASquareSlitHasOneSizeForBothSides) {
    TFramontControlForm& p = panel();
    Pick(*p.cbSlitMag, 1);
    const QRect square = p.cbSquareSlit->Widget()->geometry();
    ClickToggle(*p.cbSquareSlit);
    testsupport::TalvaneApp::ProcessEvents();
    EXPECT_EQ(p.cbSquareSlit->Widget()->geometry(), square) << "the box stays under the pointer";
    EXPECT_FALSE(p.leYSize->Visible());
    EXPECT_EQ(p.leXSize->LabelCaption(), "XY(um)");
    Commit(*p.leXSize, "100");
    EXPECT_EQ(p.SlitSizeX, 500.0F);
    EXPECT_EQ(p.SlitSizeY, 500.0F);
    EXPECT_EQ(p.leYSize->Text(), "100.00");
    ClickToggle(*p.cbSquareSlit);
    EXPECT_TRUE(p.leYSize->Visible());
    EXPECT_EQ(p.leXSize->LabelCaption(), "X(um)");
    EXPECT_EQ(p.leYSize->LabelCaption(), "Y(um)");
    EXPECT_EQ(Sent(), (Commands{";LC:SP 5,500.00,500.00", ";LC:SP 5,500.00,500.00", ";LC:SP 5,100.00,100.00"}));
}

TEST_F(FramontSlit, RightInXMovesToYAndLeftInYBackUnlessTheSlitIsSquare) {
    TFramontControlForm& p = panel();
    p.leXSize->SetFocus();
    QTest::keyClick(p.leXSize->Widget(), Qt::Key_Right);
    EXPECT_TRUE(p.leYSize->Focused());
    EXPECT_EQ(p.leYSize->SelText(), "2500.00");
    QTest::keyClick(p.leYSize->Widget(), Qt::Key_Left);
    EXPECT_TRUE(p.leXSize->Focused());
    ClickToggle(*p.cbSquareSlit);
    p.leXSize->SetFocus();
    QTest::keyClick(p.leXSize->Widget(), Qt::Key_Right);
    EXPECT_TRUE(p.leXSize->Focused()) << "Y is hidden and follows X";
}

TEST_F(FramontSlit, TheStoredSizeKeepsTheTypedPrecision) {
    TFramontControlForm& p = panel();
    Commit(*p.leXSize, "1.234");
    EXPECT_EQ(p.leXSize->Text(), "1.23");
    EXPECT_EQ(Sent(), Commands{";LC:SP 1,1.23,2500.00"});
    Pick(*p.cbSlitMag, 1);
    EXPECT_EQ(p.leXSize->Text(), "0.25");

    Pick(*p.cbSlitMag, 0);
    Commit(*p.leXSize, "1.1");
    EXPECT_EQ(p.leXSize->Color(), ui::clWhite);
    Pick(*p.cbSlitMag, 1);
    EXPECT_EQ(p.leXSize->Text(), "0.22");
    EXPECT_EQ(p.leXSize->Color(), ui::clSilver) << "0.22 x 5 is not the single-precision 1.1";
}

TEST_F(FramontSlit, AnEmptyOrPointOnlySizeCommitsNothing) {
    TFramontControlForm& p = panel();
    SelectAllAndType(*p.leXSize, "\b");
    EXPECT_EQ(p.leXSize->Text(), "");
    PressEnter(*p.leXSize);
    p.edTheta->SetFocus();
    app.ProcessEvents();
    EXPECT_TRUE(p.leXSize->Focused()) << "an emptied edit keeps the focus";
    SelectAllAndType(*p.leXSize, ".");
    PressEnter(*p.leXSize);
    EXPECT_EQ(app.dialogs.Exceptions(), std::vector<std::string>{"'.' is not a valid floating point value"});
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(p.SlitSizeX, 2500.0F);
}

TEST_F(FramontSlit, WithoutAMagnificationTheSizesAreLockedAndTheSpotHasNone) {
    TFramontControlForm& p = panel();
    p.cbSlitMag->SetItemIndex(-1);
    p.cbSlitMagSelect();
    EXPECT_EQ(Sent(), Commands{";LC:SP ,2500.00,2500.00"});
    EXPECT_FALSE(p.leXSize->Enabled());
    EXPECT_FALSE(p.cbSquareSlit->Enabled());
    p.leXSize->SetText("10");
    char enter = 13;
    p.leXSizeKeyPress(enter);
    EXPECT_EQ(Sent().size(), 1u) << "no size is stored against a missing magnification";
    EXPECT_EQ(p.SlitSizeX, 2500.0F);
}

}  // namespace
