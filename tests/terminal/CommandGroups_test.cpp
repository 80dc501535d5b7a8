// The command history ring, the common strings and the command groups with their rename and copy
// dialogs, on the real main window with its port on a fake instrument.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "terminal/ComboDialog.h"
#include "CycleFixture.h"
#include "terminal/IncrementDialog.h"

namespace {

using testsupport::TalvaneApp;

auto Fields(const TCommandGroup& group) { return std::tie(group.GroupName, group.CommandStrings, group.Commands); }

class CommandGroups : public testsupport::CycleFixture {
protected:
    void SetUp() override {
        CycleFixture::SetUp();
        for (std::size_t g = 0; g < Main().CommandGroups.size(); ++g)
            Main().CommandGroups[g] = DistinctGroup(static_cast<int>(g));
        std::vector<std::string> names;
        for (const auto& group : Main().CommandGroups)
            names.push_back(group.GroupName);
        Main().cboCommandGroup->SetItems(names);
        Main().CurrentGroup = -1;
        Choose(0);
    }

    static TCommandGroup DistinctGroup(int g) {
        TCommandGroup group;
        const std::string tag = std::to_string(g);
        group.GroupName = "Group " + tag;
        for (std::size_t k = 0; k < group.CommandStrings.size(); ++k)
            group.CommandStrings[k] = "S" + tag + "." + std::to_string(k + 1);
        for (std::size_t i = 0; i < group.Commands.size(); ++i)
            group.Commands[i] = "H" + tag + "." + std::to_string(i);
        return group;
    }

    // The operator picks group g in the list.
    void Choose(int g) {
        Main().cboCommandGroup->SetItemIndex(g);
        Main().cboCommandGroupSelect();
    }

    void PressInCommandLine(Qt::Key key) { QTest::keyClick(Main().eSendCommand->Widget(), key); }

    std::string CommandLine() { return Main().eSendCommand->Text(); }
    std::string Selected() { return Main().eSendCommand->LineEdit()->selectedText().toStdString(); }
};

TEST_F(CommandGroups, UpAndDownWalkTheRingAroundItsEnds) {
    Main().CommandArrayIndex = 9;
    PressInCommandLine(Qt::Key_Up);
    EXPECT_EQ(Main().CommandArrayIndex, 0);
    EXPECT_EQ(CommandLine(), "H0.0");
    EXPECT_EQ(Selected(), "H0.0");

    PressInCommandLine(Qt::Key_Down);
    EXPECT_EQ(Main().CommandArrayIndex, 9);
    EXPECT_EQ(CommandLine(), "H0.9");
    EXPECT_EQ(Selected(), "H0.9");

    PressInCommandLine(Qt::Key_Left);
    PressInCommandLine(Qt::Key_Right);
    EXPECT_EQ(Main().CommandArrayIndex, 9);
}

TEST_F(CommandGroups, SendingTheShownEntryAddsNothing) {
    Main().CommandArrayIndex = 2;
    PressInCommandLine(Qt::Key_Up);
    PressInCommandLine(Qt::Key_Return);
    EXPECT_EQ(instrument.Commands(), std::vector<std::string>{"H0.3"});
    EXPECT_EQ(Main().CommandArrayIndex, 3);
    EXPECT_EQ(Main().CommandArray, DistinctGroup(0).Commands);
}

TEST_F(CommandGroups, AnEditedRecallReplacesTheEntryJustAppended) {
    Main().CommandArrayIndex = 4;
    app.Send("FIRST");
    ASSERT_EQ(Main().CommandArrayIndex, 5);
    ASSERT_EQ(Main().CommandArray[5], "FIRST");

    PressInCommandLine(Qt::Key_Down);
    EXPECT_EQ(CommandLine(), "H0.4");
    app.Send("H0.4 EDITED");
    EXPECT_EQ(Main().CommandArrayIndex, 5);
    EXPECT_EQ(Main().CommandArray[5], "H0.4 EDITED");
    EXPECT_EQ(Main().CommandArray[4], "H0.4");
    EXPECT_EQ(Main().CommandArray[6], "H0.6");
}

TEST_F(CommandGroups, CommonStringsGoOutByButtonFunctionKeyAndEnter) {
    Main().edString[0]->SetText("ID?");
    Main().edString[1]->SetText("TEMP?");
    Main().edString[2]->SetText("RATE 5");
    Main().ConfigChanged = false;

    Main().bbSendString[0]->Click();
    Main().CommonCommandString[1]->Click();
    QTest::keyClick(Main().edString[2]->Widget(), Qt::Key_Return);

    EXPECT_EQ(instrument.Commands(), (std::vector<std::string>{"ID?", "TEMP?", "RATE 5"}));
    EXPECT_EQ(CommandLine(), "RATE 5");
    EXPECT_EQ(Main().LastReply, "R:RATE 5");
    EXPECT_TRUE(Main().ConfigChanged);
}

TEST_F(CommandGroups, ABoxHoldingEmptySendsNothing) {
    for (const std::string text : {"Empty", "SetEmptyMode", ""}) {
        Main().edString[3]->SetText(text);
        Main().ConfigChanged = false;
        Main().eSendCommand->SetText("before");
        QTest::keyClick(Main().edString[3]->Widget(), Qt::Key_Return);
        EXPECT_FALSE(Main().ConfigChanged) << text;
        EXPECT_EQ(CommandLine(), "before") << text;

        Main().bbSendString[3]->Click();
        EXPECT_EQ(CommandLine(), text) << "the button copies the text in any case";
    }
    EXPECT_EQ(instrument.CommandCount(), 0u);
    EXPECT_EQ(Main().CommandArray, DistinctGroup(0).Commands);
}

TEST_F(CommandGroups, SwitchingKeepsEachGroupsStringsAndHistory) {
    Main().edString[0]->SetText("EDITED");
    app.Send("NEW");
    Choose(1);
    EXPECT_EQ(Main().CurrentGroup, 1);
    EXPECT_EQ(Main().edString[4]->Text(), "S1.5");
    EXPECT_EQ(CommandLine(), "H1.0");
    EXPECT_EQ(Main().CommandArray, DistinctGroup(1).Commands);

    Choose(0);
    EXPECT_EQ(Main().edString[0]->Text(), "EDITED");
    EXPECT_EQ(Main().CommandArray[1], "NEW");
    EXPECT_EQ(Main().CommandGroups[0].GroupName, "Group 0");
}

TEST_F(CommandGroups, ChoosingTheShownGroupStoresItAndReturnsToTheRingsStart) {
    Main().CommandArrayIndex = 6;
    Main().edString[2]->SetText("KEPT");
    Choose(0);
    EXPECT_EQ(Main().CommandArrayIndex, 0);
    EXPECT_EQ(CommandLine(), "H0.0");
    EXPECT_EQ(Main().edString[2]->Text(), "KEPT");
    EXPECT_EQ(Main().CommandGroups[0].CommandStrings[2], "KEPT");
}

TEST_F(CommandGroups, ResetReachesTheGroupLeftAtTheNextSwitch) {
    Main().CommandArrayIndex = 3;
    Main().PopupMenuCommandGroup->Find("Reset Command Strings")->Click();
    EXPECT_EQ(CommandLine(), "Command");
    EXPECT_EQ(Main().edString[0]->Text(), "Empty");
    EXPECT_EQ(Main().CommandArrayIndex, 3);
    EXPECT_EQ(Fields(Main().CommandGroups[0]), Fields(DistinctGroup(0))) << "the record lags until the next store";

    Choose(2);
    const TCommandGroup& left = Main().CommandGroups[0];
    EXPECT_EQ(left.CommandStrings, (std::array<std::string, 5>{"Empty", "Empty", "Empty", "Empty", "Empty"}));
    for (const auto& entry : left.Commands)
        EXPECT_EQ(entry, "Command");
}

TEST_F(CommandGroups, ChoosingANewGroupStopsARunningCycle) {
    Main().edString[0]->SetText("PING");
    TickStrings({1});
    Main().leCycleCount->SetText("0");
    Main().cmdStartCycleClick();
    ASSERT_TRUE(CommandsArrive(1));
    Choose(3);
    EXPECT_FALSE(Main().WorkerRunsCycle());
}

class RenameGroup : public CommandGroups {
protected:
    void Rename(const std::function<void()>& operatorAction) {
        app.dialogs.QueueModal([&, operatorAction](ui::TForm&) {
            shownCaption = IncrementForm->Caption();
            shownLabel = IncrementForm->leIncValue->LabelCaption();
            shownText = IncrementForm->leIncValue->Text();
            shownSelected = IncrementForm->leIncValue->SelText();
            operatorAction();
        });
        Main().PopupMenuCommandGroup->Find("Rename Group")->Click();
    }

    // The dialog opens with the name selected: typing replaces it.
    void TypeName(const std::string& name) {
        QTest::keyClicks(IncrementForm->leIncValue->Widget(), QString::fromStdString(name));
    }

    void ExpectName(int g, const std::string& name) {
        EXPECT_EQ(Main().CommandGroups[static_cast<std::size_t>(g)].GroupName, name);
        EXPECT_EQ(Main().cboCommandGroup->Item(g), name);
        EXPECT_EQ(Main().cboCommandGroup->Text(), name);
    }

    std::string shownCaption, shownLabel, shownText, shownSelected;
};

TEST_F(RenameGroup, OkTakesTheEditedNameEverywhere) {
    Choose(4);
    Rename([&] {
        TypeName("Laser A");
        IncrementForm->cmdOK->Click();
    });
    EXPECT_EQ(shownCaption, "Rename Group");
    EXPECT_EQ(shownLabel, "Group Name");
    EXPECT_EQ(shownText, "Group 4");
    EXPECT_EQ(shownSelected, "Group 4");
    ExpectName(4, "Laser A");
    EXPECT_EQ(Main().CommandGroups[3].GroupName, "Group 3");
}

TEST_F(RenameGroup, EnterInTheEditPressesOk) {
    Rename([&] {
        TypeName("Typed");
        QTest::keyClick(IncrementForm->leIncValue->Widget(), Qt::Key_Return);
    });
    ExpectName(0, "Typed");
}

TEST_F(RenameGroup, CancelKeepsTheName) {
    Rename([&] {
        TypeName("Discarded");
        IncrementForm->cmdCancel->Click();
    });
    ExpectName(0, "Group 0");
}

TEST_F(RenameGroup, OkWithAnEmptyEditEmptiesTheName) {
    Rename([&] {
        IncrementForm->leIncValue->SetText("");
        IncrementForm->cmdOK->Click();
    });
    ExpectName(0, "");
}

TEST_F(RenameGroup, ArrowKeysSelectTheWholeName) {
    std::string selected;
    Rename([&] {
        IncrementForm->leIncValue->LineEdit()->deselect();
        QTest::keyClick(IncrementForm->leIncValue->Widget(), Qt::Key_Left);
        selected = IncrementForm->leIncValue->LineEdit()->selectedText().toStdString();
        IncrementForm->cmdCancel->Click();
    });
    EXPECT_EQ(selected, "Group 0");
}

TEST_F(RenameGroup, WithNoGroupShownNothingHappens) {
    Main().CurrentGroup = -1;
    bool shown = false;
    app.dialogs.QueueModal([&](ui::TForm&) { shown = true; });
    Main().RenameGroup1Click();
    EXPECT_FALSE(shown);
    app.dialogs.QueueModal([&](ui::TForm&) { shown = true; });
    Main().CopytoGroup1Click();
    EXPECT_FALSE(shown);
}

class CopyGroup : public CommandGroups {
protected:
    // Opens "Copy Command Strings to Group"; the operator picks item target (or types, for -1)
    // and closes with OK, or cancels.
    void CopyTo(int target, bool ok = true) {
        app.dialogs.QueueModal([&, target, ok](ui::TForm&) {
            shownCaption = OKRightDlg->Caption();
            shownItems = OKRightDlg->cboBox->Items();
            shownText = OKRightDlg->cboBox->Text();
            shownSelected = OKRightDlg->cboBox->Combo()->lineEdit()->selectedText().toStdString();
            if (target >= 0) {
                OKRightDlg->cboBox->SetItemIndex(target);
            } else {
                OKRightDlg->cboBox->SetText("Group 5");
            }
            (ok ? OKRightDlg->OKBtn : OKRightDlg->CancelBtn)->Click();
        });
        Main().PopupMenuCommandGroup->Find("Copy Command Strings to Group")->Click();
    }

    void ExpectGroupsUntouched(const std::string& edited) {
        for (int g = 0; g < 10; ++g) {
            TCommandGroup expected = DistinctGroup(g);
            if (g == 0)
                expected.CommandStrings[0] = edited;
            EXPECT_EQ(Fields(Main().CommandGroups[static_cast<std::size_t>(g)]), Fields(expected)) << g;
        }
    }

    std::string shownCaption, shownText, shownSelected;
    std::vector<std::string> shownItems;
};

TEST_F(CopyGroup, TheTargetGetsTheSourcesStringsAndHistoryUnderItsOwnName) {
    Main().edString[0]->SetText("LIVE");
    Main().ConfigChanged = false;
    CopyTo(7);
    EXPECT_EQ(shownCaption, "Copy To Group");
    EXPECT_EQ(shownText, "Group Name");
    EXPECT_EQ(shownSelected, "Group Name");
    EXPECT_EQ(OKRightDlg->Label1->Caption(), "Copy To:");
    EXPECT_FALSE(Main().ConfigChanged);
    EXPECT_EQ(Main().CurrentGroup, 0) << "the window still shows the source";

    Choose(7);
    EXPECT_EQ(Main().edString[0]->Text(), "LIVE");
    EXPECT_EQ(Main().edString[1]->Text(), "S0.2");
    EXPECT_EQ(Main().CommandArray, DistinctGroup(0).Commands);
    EXPECT_EQ(Main().CommandGroups[7].GroupName, "Group 7");
    EXPECT_EQ(Main().cboCommandGroup->Text(), "Group 7");
}

TEST_F(CopyGroup, ItselfNoChoiceOrCancelChangeNothing) {
    Main().edString[0]->SetText("LIVE");
    CopyTo(0);
    CopyTo(-1);
    CopyTo(3, false);
    ExpectGroupsUntouched("LIVE");
}

TEST_F(CopyGroup, TheListHoldsTheGroupNamesOnceEachTime) {
    std::vector<std::string> names;
    for (int g = 0; g < 10; ++g)
        names.push_back("Group " + std::to_string(g));
    CopyTo(0);
    EXPECT_EQ(shownItems, names);
    CopyTo(0);
    EXPECT_EQ(shownItems, names);
}

TEST_F(CopyGroup, APickedNameTypedOverCountsAsNoChoice) {
    app.dialogs.QueueModal([&](ui::TForm&) {
        OKRightDlg->cboBox->SetItemIndex(6);
        OKRightDlg->cboBox->SetText("Group 6 changed");
        OKRightDlg->OKBtn->Click();
    });
    Main().CopytoGroup1Click();
    EXPECT_EQ(Fields(Main().CommandGroups[6]), Fields(DistinctGroup(6)));
}

}  // namespace
