// The committed numeric edit, driven through the real widgets of the Ondrel and Pexmar panels:
// keys typed into the edits, Enter, and the focus leaving them.
#include <gtest/gtest.h>

#include <QTest>

#include "panels/Ondrelcontrol.h"
#include "panels/PanelFixture.h"
#include "panels/Pexmarcontrol.h"

using paneltest::Commands;
using paneltest::Enter;
using paneltest::Type;

namespace {

// Moves the focus from edit to other and lets the exit handler take it back if it does.
void Leave(ui::TEdit& edit, ui::TControl& other) {
    ASSERT_TRUE(edit.Focused());
    other.SetFocus();
    testsupport::TalvaneApp::ProcessEvents();
}

class OndrelEdits : public paneltest::PanelFixture {
protected:
    void SetUp() override {
        PanelFixture::SetUp();
        OpenAsOperator(&TTalvaneForm::OndrelControl1Click, panel());
    }
    TOndrelControlForm& panel() { return *OndrelControlForm; }
};

TEST_F(OndrelEdits, AValueAboveTheRangeRevertsAsItsLastKeyIsReleasedAndTheTopOfTheRangeCommits) {
    ui::TLabeledEdit& x = *panel().leXSize;
    Type(x, "700");
    EXPECT_EQ(x.Text(), "700");
    EXPECT_EQ(x.Color(), ui::clSilver);
    QTest::keyClick(x.Widget(), Qt::Key_0);
    EXPECT_EQ(x.Text(), "0") << "7000 is above 6000: back to the committed value";
    EXPECT_EQ(x.Color(), ui::clWhite);

    Type(x, "6000");
    Enter(x);
    EXPECT_EQ(Sent(), Commands{";SL:SP 04B0,0000"});
    EXPECT_EQ(panel().SlitX, 6000);
    EXPECT_EQ(x.Color(), ui::clWhite);
}

TEST_F(OndrelEdits, KeysOtherThanDigitsAndTheMembersSignOrPointAreSwallowed) {
    const auto typed = [](ui::TEdit& edit, const char* keys) {
        edit.SetText("");
        QTest::keyClicks(edit.Widget(), keys);
        return edit.Text();
    };
    EXPECT_EQ(typed(*panel().leXSize, "1a-.2"), "12");
    EXPECT_EQ(typed(*panel().leTheta, "-1x.-"), "-1-") << "the filter looks at the key alone";
    EXPECT_EQ(typed(*PexmarControlForm->leFrequency, "2-5.5b."), "25.5.");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(OndrelEdits, ALoneMinusFailsAtEnterButLeavingCommitsTheThetaDefault) {
    ui::TEdit& theta = *panel().leTheta;
    Type(theta, "-");
    EXPECT_EQ(theta.Text(), "-") << "it reads as -45 while typed, which is in range";
    EXPECT_EQ(theta.Color(), ui::clSilver);
    Enter(theta);
    EXPECT_EQ(Exceptions(), std::vector<std::string>{"'-' is not a valid integer value"});
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(panel().ThetaAngle, 0);
    EXPECT_EQ(theta.Text(), "-");
    EXPECT_EQ(theta.Color(), ui::clSilver);

    Leave(theta, *panel().leXSize);
    EXPECT_EQ(Sent(), Commands{";LC:ST 0000"}) << "leaving reads the lone minus as -45";
    EXPECT_EQ(panel().ThetaAngle, -45);
    EXPECT_EQ(panel().tbTheta->Position(), -45);
    EXPECT_EQ(theta.Text(), "-45");
    EXPECT_EQ(theta.Color(), ui::clWhite);
    EXPECT_TRUE(theta.Focused()) << "a commit on exit keeps the focus in the edit";
}

TEST_F(OndrelEdits, TheConversionBoxOfEnterTakesTheFocusWithoutLeavingTheEdit) {
    app.dialogs.OpenRealBoxes();
    ui::TEdit& theta = *panel().leTheta;
    Type(theta, "--1");
    Enter(theta);
    Activate(panel());
    EXPECT_EQ(Exceptions(), std::vector<std::string>{"'--1' is not a valid integer value"});
    EXPECT_TRUE(Sent().empty()) << "no commit of the exit default";
    EXPECT_TRUE(theta.Focused()) << "the panel, active again, has the focus on the edit";
}

TEST_F(OndrelEdits, EnterOnAnOutOfRangeTextSendsNothingAndRestoresTheCommittedValue) {
    panel().leXSize->SetText("7000");
    char enter = 13;
    panel().XSizeEdit->KeyPress(enter);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(panel().leXSize->Text(), "0");
    EXPECT_EQ(panel().leXSize->Color(), ui::clWhite);
}

TEST_F(OndrelEdits, LeavingASilverEditCommitsAndKeepsTheFocusOthersLeaveAsThey_Are) {
    ui::TLabeledEdit& x = *panel().leXSize;
    ui::TLabeledEdit& y = *panel().leYSize;
    Type(x, "1000");
    Leave(x, y);
    EXPECT_EQ(Sent(), Commands{";SL:SP 00C8,0000"});
    EXPECT_TRUE(x.Focused());
    EXPECT_EQ(x.Color(), ui::clWhite);

    instrument.ClearReceived();
    Leave(x, y);
    EXPECT_TRUE(Sent().empty()) << "a white edit is left alone";
    EXPECT_TRUE(y.Focused());

    Type(y, "");
    Leave(y, x);
    EXPECT_TRUE(y.Focused()) << "an emptied edit keeps the focus";
    EXPECT_EQ(y.Color(), ui::clSilver);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(OndrelEdits, TwoEmptiedEditsDoNotPassTheFocusToAndFro) {
    ui::TLabeledEdit& x = *panel().leXSize;
    ui::TLabeledEdit& y = *panel().leYSize;
    int exits = 0;
    for (ui::TEdit* edit : {static_cast<ui::TEdit*>(&x), static_cast<ui::TEdit*>(&y)}) {
        edit->OnExit = [&exits, edit, exit = edit->OnExit] {
            if (++exits < 50)  // stops an endless exchange, so that a failure ends
                exit();
        };
    }
    y.SetText("");
    Type(x, "");
    Leave(x, y);
    EXPECT_TRUE(x.Focused());
    EXPECT_LE(exits, 2);
}

TEST_F(OndrelEdits, CommittingTheAngleTheTrackbarAlreadyShowsSendsNothing) {
    Type(*panel().leTheta, "0");
    Enter(*panel().leTheta);
    EXPECT_TRUE(Sent().empty());
    Type(*panel().leTheta, "30");
    Enter(*panel().leTheta);
    EXPECT_EQ(Sent(), Commands{";LC:ST 0B37"}) << "a new angle moves the trackbar, which sends once";
    EXPECT_EQ(panel().tbTheta->Position(), 30);
}

class PexmarEdits : public paneltest::PanelFixture {
protected:
    void SetUp() override {
        PanelFixture::SetUp();
        OpenAsOperator(&TTalvaneForm::PexmarSystem1Click, panel());
    }
    TPexmarControlForm& panel() { return *PexmarControlForm; }
};

TEST_F(PexmarEdits, AboveTheMaximumRevertsWhileTypingBelowTheMinimumOnlyAtEnterOrExit) {
    ui::TLabeledEdit& frequency = *panel().leFrequency;
    ASSERT_EQ(frequency.Text(), "20.0");
    Type(frequency, "15");
    EXPECT_EQ(frequency.Text(), "15");
    QTest::keyClick(frequency.Widget(), Qt::Key_0);
    EXPECT_EQ(frequency.Text(), "20.0");

    Type(frequency, "5");
    Enter(frequency);
    EXPECT_EQ(frequency.Text(), "20.0");
    EXPECT_TRUE(frequency.Focused());
    EXPECT_EQ(frequency.SelText(), "20.0");

    Type(frequency, "5");
    Leave(frequency, *panel().leDiodeCurrent);
    EXPECT_EQ(frequency.Text(), "20.0");
    EXPECT_TRUE(frequency.Focused()) << "a Pexmar revert on exit takes the focus back";
    EXPECT_TRUE(Sent().empty());
}

TEST_F(PexmarEdits, EnterCommitsInSinglePrecisionAndSendsTheOneDecimalText) {
    Type(*panel().leFrequency, "55.56");
    Enter(*panel().leFrequency);
    EXPECT_EQ(Sent(), Commands{"!PULSE FREQUENCY=55.6"});
    EXPECT_EQ(panel().FrequencyValue, 55.56f);
    EXPECT_EQ(panel().leFrequency->Text(), "55.6");
    EXPECT_EQ(panel().leFrequency->Color(), ui::clWhite) << "white by the commit, though 55.6 is not 55.56";

    ui::TLabeledEdit& current = *panel().leDiodeCurrent;
    Type(current, "13");
    Enter(current);
    Type(current, "12.5");
    Enter(current);
    EXPECT_EQ(current.Text(), "13.0");
    Type(current, "50.0");
    QTest::keyClick(current.Widget(), Qt::Key_1);
    EXPECT_EQ(current.Text(), "13.0");
    EXPECT_EQ(Sent(), (Commands{"!PULSE FREQUENCY=55.6", "!DIODE SETCURRENT=13.0"}));
}

TEST_F(PexmarEdits, ATextThatIsNoNumberFailsAtEnterButNotWhileTyped) {
    Type(*panel().leFrequency, "1.2.");
    EXPECT_TRUE(Exceptions().empty()) << "typing reports nothing";
    EXPECT_EQ(panel().leFrequency->Color(), ui::clSilver);
    Enter(*panel().leFrequency);
    EXPECT_EQ(Exceptions(), std::vector<std::string>{"'1.2.' is not a valid floating point value"});
    EXPECT_EQ(panel().FrequencyValue, 20.0f);
    EXPECT_TRUE(Sent().empty());
}

}  // namespace
