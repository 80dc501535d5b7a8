// The control layer's behaviour that the forms rely on, on real Qt widgets offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAbstractButton>
#include <QBackingStore>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTextCursor>
#include <QWheelEvent>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/Folders.h"
#include "support/DialogFake.h"
#include "support/ScopedPlatformHooks.h"
#include "ui/Buttons.h"
#include "ui/CachedStyle.h"
#include "ui/Containers.h"
#include "ui/ComboBox.h"
#include "ui/Containers.h"
#include "ui/Dialogs.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/RichEdit.h"
#include "ui/Indicators.h"
#include "ui/Toggles.h"
#include "ui/TrackBar.h"

namespace {

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        form.Show();
        QApplication::setActiveWindow(form.Window());
    }
    testsupport::DialogFake dialogs;
    ui::TForm form{"Test", 400, 300};
};

// Controls made after their form was shown stay hidden until the form is shown again.
void ShowAgain(ui::TForm& form) {
    form.Hide();
    form.Show();
    QApplication::processEvents();
}

TEST_F(Controls, EditTextFromCodeFiresOnChangeAndKeysArriveInOrder) {
    auto* edit = form.Make<ui::TEdit>(form.Client(), "start");
    int changes = 0;
    std::string events;
    edit->OnChange = [&] { ++changes; };
    edit->OnKeyDown = [&](int& key) { events += "down" + std::to_string(key) + " "; };
    edit->OnKeyPress = [&](char& key) {
        events += std::string("press") + (key == 13 ? "CR" : std::string(1, key)) + " ";
        if (key == 'x')
            key = 0;  // swallowed
    };
    edit->SetText("new");
    EXPECT_EQ(changes, 1);
    edit->SetFocus();
    edit->SetText("");
    changes = 0;
    QTest::keyClicks(edit->Widget(), "axb");
    EXPECT_EQ(edit->Text(), "ab");
    EXPECT_EQ(changes, 2);
    events.clear();
    QTest::keyClick(edit->Widget(), Qt::Key_Return);
    QTest::keyClick(edit->Widget(), Qt::Key_Up);
    EXPECT_EQ(events, "down13 pressCR down38 ");
}

TEST_F(Controls, ExitHandlerMayTakeTheFocusBack) {
    auto* first = form.Make<ui::TEdit>(form.Client());
    auto* second = form.Make<ui::TEdit>(form.Client());
    first->Widget()->move(0, 0);
    second->Widget()->move(0, 40);
    first->Widget()->show();
    second->Widget()->show();
    int exits = 0;
    first->OnExit = [&] {
        ++exits;
        first->SetFocus();
    };
    ASSERT_TRUE(first->SetFocus());
    second->SetFocus();
    QApplication::processEvents();
    EXPECT_GE(exits, 1);
    EXPECT_TRUE(first->Focused());
}

TEST_F(Controls, FocusIsRefusedForDisabledOrHiddenControls) {
    auto* edit = form.Make<ui::TEdit>(form.Client());
    edit->SetEnabled(false);
    EXPECT_FALSE(edit->SetFocus());
    edit->SetEnabled(true);
    edit->SetVisible(false);
    EXPECT_FALSE(edit->SetFocus());
    edit->SetVisible(true);
    EXPECT_TRUE(edit->SetFocus());
}

TEST_F(Controls, ComboSelectionFromCodeRunsNoHandlerButTheOperatorsChoiceDoes) {
    auto* combo = form.Make<ui::TComboBox>(form.Client(), "COMM PORT");
    int selects = 0;
    combo->OnSelect = [&] { ++selects; };
    combo->AddItem("COM1");
    combo->AddItem("COM3");
    EXPECT_EQ(combo->ItemIndex(), -1) << "adding items selects none";
    EXPECT_EQ(combo->Text(), "COMM PORT");
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "COM3");
    EXPECT_EQ(selects, 0);
    emit static_cast<QComboBox*>(combo->Widget())->activated(0);
    EXPECT_EQ(selects, 1);
    combo->SetItemIndex(-1);
    EXPECT_EQ(combo->Text(), "");
    combo->SetText("typed");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->Clear();
    EXPECT_EQ(combo->ItemCount(), 0);
    EXPECT_EQ(combo->Text(), "");
}

TEST_F(Controls, CheckAndRadioClickHandlersRunOnlyOnAChangeOfState) {
    auto* box = form.Make<ui::TCheckBox>(form.Client(), "Cycle");
    int clicks = 0;
    box->OnClick = [&] { ++clicks; };
    box->SetChecked(false);
    EXPECT_EQ(clicks, 0);
    box->SetChecked(true);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    static_cast<QAbstractButton*>(box->Widget())->click();  // as the operator's click
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 2);

    auto* a = form.Make<ui::TRadioButton>(form.Client(), "A");
    auto* b = form.Make<ui::TRadioButton>(form.Client(), "B");
    int aClicks = 0;
    int bClicks = 0;
    a->OnClick = [&] { ++aClicks; };
    b->OnClick = [&] { ++bClicks; };
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    a->SetChecked(true);
    a->SetChecked(true);
    EXPECT_EQ(aClicks, 2);
    EXPECT_EQ(bClicks, 1);
}

TEST_F(Controls, TrackBarNotifiesEveryChangeAndOnceMoreOnRelease) {
    auto* bar = form.Make<ui::TTrackBar>(form.Client());
    bar->SetMin(0);
    bar->SetMax(10);
    std::vector<int> seen;
    bar->OnChange = [&] { seen.push_back(bar->Position()); };
    bar->SetPosition(3);
    bar->SetPosition(3);
    EXPECT_EQ(seen, std::vector<int>{3});
    seen.clear();
    bar->SetFocus();
    QTest::keyClick(bar->Widget(), Qt::Key_Right);
    EXPECT_EQ(seen, (std::vector<int>{4, 4})) << "the change, then the closing repeat";
}

TEST_F(Controls, RichEditCountsLinesAsTheyAreHeld) {
    auto* pane = form.Make<ui::TRichEdit>(form.Client());
    EXPECT_EQ(pane->LineCount(), 0);
    pane->AddLine("", ui::clBlack);
    EXPECT_EQ(pane->LineCount(), 1);
    pane->AddLine("OK\r\n", ui::clGreen);
    EXPECT_EQ(pane->LineCount(), 3) << "a reply with CR LF opens an empty line";
    pane->AddLine("A\rB", ui::clGreen);
    EXPECT_EQ(pane->Lines(), (std::vector<std::string>{"", "OK", "", "A", "B"}));
    pane->SetLine(3, "A <--");
    EXPECT_EQ(pane->Line(3), "A <--");
    EXPECT_EQ(pane->Line(99), "");
    pane->Clear();
    EXPECT_EQ(pane->LineCount(), 0);
}

TEST_F(Controls, RichEditKeepsEveryByteOfEightBitText) {
    auto* pane = form.Make<ui::TRichEdit>(form.Client());
    std::string text;
    for (int c = 0x20; c < 0x100; ++c)
        text += static_cast<char>(c);
    pane->AddLine(text, ui::clBlack);
    EXPECT_EQ(pane->Line(0), text);
}

TEST_F(Controls, RichEditSavesPlainTextWithCrLfAndRichTextWithColours) {
    auto* pane = form.Make<ui::TRichEdit>(form.Client());
    pane->AddLine("sent", ui::clBlack);
    pane->AddLine("reply", ui::clGreen);
    const auto dir = std::filesystem::temp_directory_path();
    const auto plain = (dir / "talvane-plain.txt").string();
    const auto rich = (dir / "talvane-rich.rtf").string();
    pane->SetPlainText(true);
    pane->SaveToFile(plain);
    pane->SetPlainText(false);
    pane->SaveToFile(rich);
    auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(read(plain), "sent\r\nreply\r\n");
    const std::string rtf = read(rich);
    EXPECT_TRUE(rtf.starts_with("{\\rtf1"));
    EXPECT_NE(rtf.find("\\red0\\green128\\blue0"), std::string::npos);
    EXPECT_NE(rtf.find("reply"), std::string::npos);
    std::filesystem::remove(plain);
    std::filesystem::remove(rich);
    EXPECT_THROW(pane->SaveToFile((dir / "no-such-folder" / "x.rtf").string()), std::runtime_error);
}

TEST_F(Controls, RichEditLoadsFilesWithAnyLineEndAndRichTextAsItsText) {
    auto* pane = form.Make<ui::TRichEdit>(form.Client());
    const auto path = (std::filesystem::temp_directory_path() / "talvane-load.txt").string();
    std::ofstream(path, std::ios::binary) << "one\r\ntwo\nthree\r\n";
    pane->LoadFromFile(path);
    EXPECT_EQ(pane->Lines(), (std::vector<std::string>{"one", "two", "three"}));
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red0\\green128\\blue0;}\\f0 Rate,RATE?\\par\r\n"
           "\\cf1 Mode,MODE?\\par\r\n}";
    pane->LoadFromFile(path);
    EXPECT_EQ(pane->Lines(), (std::vector<std::string>{"Rate,RATE?", "Mode,MODE?"})) << "rich text loads as its text";
    pane->SetPlainText(true);
    pane->LoadFromFile(path);
    EXPECT_EQ(pane->Line(0).rfind("{\\rtf1", 0), 0u) << "a plain-text edit loads the file as it stands";
    std::filesystem::remove(path);
    EXPECT_THROW(pane->LoadFromFile(path), std::runtime_error);
}

TEST_F(Controls, PrintingWithNoPrinterKeepsEveryPdfAndSaysWhereItWent) {
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "a printer is set up; printing would reach it";
    const std::filesystem::path logs = platform::OrvelFolder() / "Logs";
    std::filesystem::create_directories(logs);
    const testsupport::ScopedClock clock(platform::LocalTime{2024, 1, 2, 10, 11, 12, 0});
    auto* pane = form.Make<ui::TRichEdit>(form.Client());
    pane->AddLine("first", ui::clBlack);
    const std::string first = pane->Print("Talvane");
    pane->AddLine("second", ui::clBlack);
    const std::string second = pane->Print("Talvane");

    EXPECT_EQ(first, (logs / "Talvane 010224_101112.pdf").string());
    EXPECT_EQ(second, (logs / "Talvane 010224_101112 (2).pdf").string());
    EXPECT_LT(std::filesystem::file_size(first), std::filesystem::file_size(second)) << "the first PDF is kept";
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(messages[i].icon, ui::MsgIcon::Information);
        EXPECT_NE(messages[i].text.find(i == 0 ? first : second), std::string::npos) << messages[i].text;
    }
}

TEST_F(Controls, InvisibleMenusKeepTheirShortcuts) {
    ui::TMenuItem* hidden = form.MainMenu()->Add("Controls");
    int sent = 0;
    hidden->Add("Send Command Field", "Ctrl+W")->OnClick = [&] { ++sent; };
    hidden->SetVisible(false);
    auto* edit = form.Make<ui::TEdit>(form.Client());
    edit->SetFocus();
    QTest::keyClick(edit->Widget(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(sent, 1);
}

TEST_F(Controls, MenuChecksAndClicks) {
    ui::TMenuItem* log = form.MainMenu()->Add("Log");
    ui::TMenuItem* on = log->Add("Log Enabled");
    int clicks = 0;
    on->OnClick = [&] { ++clicks; };
    on->SetChecked(true);
    EXPECT_TRUE(on->Checked());
    on->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(log->Find("Log Enabled"), on);
}

TEST_F(Controls, AnExceptionInAHandlerIsShownAndTheProgramGoesOn) {
    auto* button = form.Make<ui::TButton>(form.Client(), "Go");
    button->OnClick = [] { throw std::runtime_error("'abc' is not a valid integer value"); };
    button->Click();
    button->OnClick = [] { throw 42; };
    button->Click();
    EXPECT_EQ(dialogs.Exceptions(), (std::vector<std::string>{"'abc' is not a valid integer value", ""}));
}

TEST_F(Controls, AModalFormRunsUntilAButtonGivesItAResult) {
    ui::TForm dialog("Dialog", 200, 100);
    auto* ok = dialog.Make<ui::TButton>(dialog.Client(), "OK");
    ok->ModalResult = ui::mrOk;
    int shows = 0;
    int closes = 0;
    dialog.OnShow = [&] { ++shows; };
    dialog.OnClose = [&] { ++closes; };
    dialogs.QueueModal([&](ui::TForm&) { ok->Click(); });
    EXPECT_EQ(dialog.ShowModal(), ui::mrOk);
    EXPECT_FALSE(dialog.Visible());
    dialogs.QueueModal([](ui::TForm& shown) { shown.Close(); });
    EXPECT_EQ(dialog.ShowModal(), ui::mrCancel) << "the close box gives Cancel";
    EXPECT_EQ(shows, 2);
    EXPECT_EQ(closes, 2);
}

TEST_F(Controls, ACloseQueryCanRefuseTheClose) {
    ui::TForm other("Other", 200, 100);
    bool allow = false;
    other.OnCloseQuery = [&](bool& canClose) { canClose = allow; };
    other.Show();
    other.Close();
    EXPECT_TRUE(other.Visible());
    allow = true;
    other.Close();
    EXPECT_FALSE(other.Visible());
}

}  // namespace

namespace {

TEST_F(Controls, TypingAnItemsTextAndEnterIsNoChoice) {
    auto* combo = form.Make<ui::TComboBox>(form.Client(), "");
    combo->AddItem("9600");
    combo->AddItem("19200");
    int selects = 0;
    combo->OnSelect = [&] { ++selects; };
    combo->SetFocus();
    QTest::keyClicks(combo->Widget(), "19200");
    QTest::keyClick(combo->Widget(), Qt::Key_Return);
    EXPECT_EQ(selects, 0);
}

}  // namespace

namespace {

TEST_F(Controls, SpeedButtonsKeepOneDownPerGroupIndex) {
    auto* fire = form.Make<ui::TSpeedButton>(form.Client(), "FIRE", 1);
    auto* stop = form.Make<ui::TSpeedButton>(form.Client(), "STOP", 1);
    auto* high = form.Make<ui::TSpeedButton>(form.Client(), "HIGH", 2);
    fire->SetDown(true);
    high->SetDown(true);
    stop->SetDown(true);
    EXPECT_FALSE(fire->Down());
    EXPECT_TRUE(stop->Down());
    EXPECT_TRUE(high->Down()) << "another group index is another group";
}

TEST_F(Controls, AClickInTheChannelOrAWheelTurnEndsWithTheClosingNotification) {
    auto* bar = form.Make<ui::TTrackBar>(form.Client());
    bar->SetMax(10);
    static_cast<QSlider*>(bar->Widget())->setTickPosition(QSlider::NoTicks);
    static_cast<QSlider*>(bar->Widget())->setPageStep(2);
    bar->Widget()->setGeometry(0, 0, 200, 30);
    bar->Widget()->show();
    QApplication::processEvents();
    int notifications = 0;
    bar->OnChange = [&] { ++notifications; };
    QTest::mouseClick(bar->Widget(), Qt::LeftButton, {}, QPoint(bar->Widget()->width() - 3, bar->Widget()->height() / 2));
    EXPECT_GT(bar->Position(), 0);
    const int afterClick = notifications;
    EXPECT_GE(afterClick, 2) << "the move and its closing repeat";
    QWheelEvent wheel(QPointF(100, 15), bar->Widget()->mapToGlobal(QPointF(100, 15)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar->Widget(), &wheel);
    EXPECT_GE(notifications, afterClick + 1);
}

}  // namespace

namespace {

TEST_F(Controls, DraggingTheSplitterResizesItsControlAndTheOtherSideTakesTheRest) {
    auto* file = form.Make<ui::TPanel>(form.Client());
    auto* splitter = form.Make<ui::TSplitter>(form.Client());
    auto* pane = form.Make<ui::TPanel>(form.Client());
    file->SetBounds(0, 0, 100, 100);
    file->SetAlign(ui::TAlign::Right);
    splitter->SetBounds(0, 0, 4, 100);
    splitter->SetAlign(ui::TAlign::Right);
    pane->SetAlign(ui::TAlign::Client);
    splitter->SetResizedControl(file);
    ShowAgain(form);
    const int total = pane->Widget()->width() + file->Widget()->width();
    QWidget* bar = splitter->Widget();
    // The mouse events go straight to the bar: QTest would move the pointer through the platform,
    // which offscreen places elsewhere.
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), bar->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    };
    auto drag = [&](int dx) {
        const QPoint middle(1, bar->height() / 2);
        send(QEvent::MouseButtonPress, middle, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, middle + QPoint(dx, 0), Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, middle + QPoint(dx, 0), Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
    };
    drag(-40);
    EXPECT_EQ(file->Widget()->width(), 140) << "the bar moved left: the control on its right grew";
    EXPECT_EQ(pane->Widget()->width() + file->Widget()->width(), total);
    EXPECT_EQ(bar->x(), pane->Widget()->width()) << "the bar moved with them";
    drag(500);
    EXPECT_EQ(file->Widget()->width(), ui::TSplitter::kMinSize);
    drag(-1000);
    EXPECT_EQ(pane->Widget()->width(), ui::TSplitter::kMinSize) << "neither side goes below the minimum";
    splitter->SetEnabled(false);
    const int before = file->Widget()->width();
    drag(50);
    EXPECT_EQ(file->Widget()->width(), before) << "a disabled splitter does not move";
}

// Pixels of the highlight colour in each column of the bar's picture.
std::vector<int> BandPixelsPerColumn(QWidget* bar) {
    const QImage picture = bar->grab().toImage();
    const QRgb band = bar->palette().color(QPalette::Active, QPalette::Highlight).rgb();
    std::vector<int> columns(static_cast<std::size_t>(picture.width()), 0);
    for (int x = 0; x < picture.width(); ++x)
        for (int y = 0; y < picture.height(); ++y)
            columns[static_cast<std::size_t>(x)] += picture.pixel(x, y) == band ? 1 : 0;
    return columns;
}

TEST_F(Controls, TheTrackBarDrawsItsSelectionBandFromSelStartToSelEnd) {
    auto* bar = form.Make<ui::TTrackBar>(form.Client());
    bar->SetMin(-45);
    bar->SetMax(45);
    bar->SetPosition(-45);
    bar->Widget()->setGeometry(0, 0, 300, 30);
    bar->Widget()->show();
    EXPECT_EQ(BandPixelsPerColumn(bar->Widget())[150], 0) << "no band while SelStart and SelEnd are 0";
    bar->SetSelStart(45);
    bar->SetSelEnd(0);
    EXPECT_EQ(bar->SelStart(), 45);
    const std::vector<int> columns = BandPixelsPerColumn(bar->Widget());
    EXPECT_GT(columns[225], 0) << "inside the band (either end may be the larger)";
    EXPECT_EQ(columns[75], 0) << "the lower half of the range is outside it";
    const QImage picture = bar->Widget()->grab().toImage();
    int grooveRows = 0;
    for (int y = 0; y < picture.height(); ++y)
        grooveRows += picture.pixel(75, y) != picture.pixel(0, 0) ? 1 : 0;
    EXPECT_GT(grooveRows, 0) << "the groove shows outside the band";
}

TEST_F(Controls, StatusBarPanelsKeepTheirWidthsAndCutTheirTexts) {
    auto* bar = form.Make<ui::TStatusBar>(form.Client(),
                                          std::vector<std::pair<std::string, int>>{{"Port:", 80}, {"", 120}, {"Rest", 50}});
    bar->Widget()->setGeometry(0, 0, 150, 24);
    bar->Widget()->show();
    bar->SetPanelText(0, "Port: COM5 and a text far wider than its panel");
    const QList<QLabel*> panels = bar->Widget()->findChildren<QLabel*>();
    ASSERT_EQ(panels.size(), 3);
    EXPECT_EQ(panels[0]->width(), 80) << "a long text does not widen its panel";
    EXPECT_GT(panels[1]->x(), panels[0]->geometry().right()) << "the panels do not overlap";
    EXPECT_EQ(panels[1]->width(), 120) << "a bar narrower than its panels cuts them off";
    const QImage picture = bar->Widget()->grab().toImage();
    const QRect inside = panels[1]->geometry().adjusted(3, 3, -3, -3).intersected(picture.rect());
    for (int x = inside.left(); x <= inside.right(); ++x)
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            ASSERT_EQ(picture.pixel(x, y), picture.pixel(inside.topLeft())) << "the first text drawn at " << x << "," << y;
    bar->Widget()->resize(400, 24);
    EXPECT_EQ(panels[2]->geometry().right(), 400 - 1 - 2) << "the last panel takes the rest";
}

// A toggle's font colour paints its caption, never its mark.
TEST_F(Controls, AToggleFontColourPaintsOnlyItsCaption) {
    auto* check = form.Make<ui::TCheckBox>(form.Client(), "Yellow");
    auto* radio = form.Make<ui::TRadioButton>(form.Client(), "Yellow");
    for (ui::TToggle* toggle : std::initializer_list<ui::TToggle*>{check, radio}) {
        toggle->Widget()->setGeometry(0, 0, 120, 24);
        toggle->SetFontColor(ui::clYellow);
        toggle->SetBold(true);
        toggle->SetChecked(true);
        toggle->Widget()->show();
        const QImage picture = toggle->Widget()->grab().toImage();
        const int markEnd = toggle->Widget()->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 2;
        int yellowInMark = 0;
        int yellowInCaption = 0;
        for (int x = 0; x < picture.width(); ++x)
            for (int y = 0; y < picture.height(); ++y) {
                const QColor c = picture.pixelColor(x, y);
                if (c.red() > 200 && c.green() > 200 && c.blue() < 80)
                    ++(x < markEnd ? yellowInMark : yellowInCaption);
            }
        EXPECT_EQ(yellowInMark, 0);
        EXPECT_GT(yellowInCaption, 0);
    }
}

}  // namespace

namespace {

TEST_F(Controls, FileDialogsShowEachFilterAsWrittenAndAlwaysHaveATitle) {
    ui::FileDialogOptions options;
    options.filter = "Rich Edit (*.rtf)|*.rtf|Text File|*.txt;*.doc|All Files (*.*)|*.*";
    const std::unique_ptr<QFileDialog> save = ui::MakeFileDialog(options, false);
    auto* types = save->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 3);
    EXPECT_EQ(types->itemText(0), "Rich Edit (*.rtf)");
    EXPECT_EQ(types->itemText(1), "Text File");
    EXPECT_EQ(types->itemText(2), "All Files (*.*)");
    EXPECT_EQ(save->windowTitle(), "Save As");
    EXPECT_EQ(ui::MakeFileDialog(options, true)->windowTitle(), "Open");
    options.title = "Open Command Input File";
    EXPECT_EQ(ui::MakeFileDialog(options, true)->windowTitle(), "Open Command Input File");
}

TEST_F(Controls, AnOpenDialogWithCreatePromptAsksBeforeGivingAMissingFile) {
    const auto missing = (std::filesystem::temp_directory_path() / "talvane-missing.txt").string();
    std::filesystem::remove(missing);
    ui::FileDialogOptions options;
    options.title = "Open Command Input File";
    options.createPrompt = true;
    dialogs.QueueFileName(missing);
    dialogs.QueueMessageAnswer(ui::mrNo);
    dialogs.QueueFileName(missing);
    dialogs.QueueMessageAnswer(ui::mrYes);
    EXPECT_EQ(ui::OpenFileDialog(options), missing) << "No opened the dialog again; Yes gives the name";
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_EQ(dialogs.Messages()[0].text, missing + "\r\nThis file does not exist.\r\nDo you want to create it?");
    EXPECT_EQ(dialogs.Messages()[0].caption, "Open Command Input File");
    dialogs.ClearRecords();
    dialogs.QueueFileName(missing);
    dialogs.QueueMessageAnswer(ui::mrNo);
    EXPECT_EQ(ui::OpenFileDialog(options), std::nullopt) << "No, then cancel";
    options.createPrompt = false;
    dialogs.QueueFileName(missing);
    EXPECT_EQ(ui::OpenFileDialog(options), missing);
    EXPECT_EQ(dialogs.Messages().size(), 1u) << "no prompt without the option";
}

}  // namespace

namespace {

TEST_F(Controls, CtrlZUndoesTheOperatorsTypingButNotTheLinesTheProgramAdded) {
    auto* log = form.Make<ui::TRichEdit>(form.Client());
    auto* pane = form.Make<ui::TRichEdit>(form.Client());
    log->SetUndoEnabled(true);
    form.Make<ui::TMenuItem>(form.Window(), "Undo", "Ctrl+Z")->OnClick = [] { ui::RunEditAction(ui::EditAction::Undo); };
    for (ui::TRichEdit* edit : {log, pane}) {
        edit->Widget()->show();
        edit->AddLine("[1:2:3:4]  RD 1", ui::clBlack);
        ASSERT_TRUE(edit->SetFocus());
        edit->Editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(edit->Widget(), "typed");
        QTest::keyClick(edit->Widget(), Qt::Key_Z, Qt::ControlModifier);
    }
    EXPECT_EQ(log->Lines(), std::vector<std::string>{"[1:2:3:4]  RD 1"}) << "the typing is undone";
    EXPECT_EQ(pane->Lines(), (std::vector<std::string>{"[1:2:3:4]  RD 1", "typed"})) << "an edit without undo";
    log->SetFocus();
    QTest::keyClick(log->Widget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(log->Lines(), std::vector<std::string>{"[1:2:3:4]  RD 1"}) << "the program's line stays";
}

}  // namespace

namespace {

TEST_F(Controls, PopupEditItemsShowTheirShortcutsAndAreGreyedWhenTheyCannotAct) {
    auto* log = form.Make<ui::TRichEdit>(form.Client());
    log->Widget()->setGeometry(0, 0, 300, 200);
    log->Widget()->show();
    log->AddLine("[1:2:3:4]  RD 1", ui::clBlack);
    auto* popup = form.Make<ui::TPopupMenu>(form.Window());
    std::vector<ui::TMenuItem*> items = {popup->AddEditAction("Cut", ui::EditAction::Cut, "Ctrl+X"),
                                         popup->AddEditAction("Copy", ui::EditAction::Copy, "Ctrl+C"),
                                         popup->AddEditAction("Paste", ui::EditAction::Paste, "Ctrl+V")};
    log->SetPopupMenu(popup);
    EXPECT_EQ(items[0]->ShortCut(), "Ctrl+X");
    EXPECT_TRUE(items[0]->Action()->isShortcutVisibleInContextMenu());
    QWidget* area = log->Editor()->viewport();
    auto rightClick = [&] {
        QTest::mouseClick(area, Qt::RightButton, {}, QPoint(20, 8));
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(20, 8), area->mapToGlobal(QPoint(20, 8)));
        QApplication::sendEvent(area, &menu);
        std::vector<bool> enabled;
        for (ui::TMenuItem* item : items)
            enabled.push_back(item->Enabled());
        return enabled;
    };
    QApplication::clipboard()->clear();
    EXPECT_EQ(rightClick(), (std::vector<bool>{false, false, false})) << "nothing selected, nothing to paste";
    QApplication::activePopupWidget()->close();
    EXPECT_TRUE(items[0]->Enabled()) << "closed, the items keep their shortcuts working";
    log->SelectAll();
    QApplication::clipboard()->setText("RD 2");
    EXPECT_EQ(rightClick(), (std::vector<bool>{true, true, true}));
    QApplication::activePopupWidget()->close();
    log->SetReadOnly(true);
    EXPECT_EQ(rightClick(), (std::vector<bool>{false, true, false})) << "a read-only edit only copies";
    QApplication::activePopupWidget()->close();
}

}  // namespace

namespace {

// The colour drawn at the middle of a widget as it is on the screen.
QColor ShownColour(QWidget* widget, QPoint at = {-1, -1}) {
    if (at.x() < 0)
        at = widget->rect().center();
    return widget->grab().toImage().pixelColor(at);
}

TEST_F(Controls, AContainersColourPaintsOnlyItsOwnBackground) {
    form.SetColor(ui::clBlack);
    auto* group = form.Make<ui::TGroupBox>(form.Client(), "Group ");
    group->SetBounds(10, 10, 200, 120);
    group->SetColor(ui::clNavy);
    group->SetFontColor(ui::clWhite);
    auto* plain = form.Make<ui::TEdit>(group->Widget(), "");
    plain->SetBounds(10, 30, 100, 22);
    auto* check = form.Make<ui::TCheckBox>(group->Widget(), "Check");
    check->SetBounds(10, 60, 100, 22);
    auto* onForm = form.Make<ui::TButton>(form.Client(), "Button");
    onForm->SetBounds(220, 10, 80, 25);
    ShowAgain(form);

    EXPECT_EQ(ShownColour(form.Client(), {380, 280}), QColor(Qt::black));
    EXPECT_EQ(ShownColour(group->Widget(), {195, 4}), QColor(0, 0, 0x80));
    const QColor base = QApplication::palette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(ShownColour(plain->Widget()), base) << "an edit in a navy group keeps its own background";
    EXPECT_EQ(plain->Widget()->palette().color(QPalette::Text), QApplication::palette().color(QPalette::Text));
    EXPECT_EQ(check->Widget()->palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::WindowText));
    EXPECT_NE(ShownColour(onForm->Widget()), QColor(Qt::black)) << "a button on a black form keeps its face";
    group->SetEnabled(false);
    EXPECT_EQ(ShownColour(group->Widget(), {195, 4}), QColor(0, 0, 0x80)) << "a disabled group keeps its colour";
}

TEST_F(Controls, AControlsColoursApplyOnlyWhileItIsEnabled) {
    auto* coloured = form.Make<ui::TEdit>(form.Client(), "");
    coloured->SetBounds(10, 10, 100, 22);
    coloured->SetColor(ui::clYellow);
    coloured->SetFontColor(ui::clBlack);
    auto* plain = form.Make<ui::TEdit>(form.Client(), "");
    plain->SetBounds(10, 40, 100, 22);
    ShowAgain(form);
    EXPECT_EQ(ShownColour(coloured->Widget()), QColor(Qt::yellow));
    EXPECT_EQ(coloured->Color(), ui::clYellow);

    coloured->SetEnabled(false);
    plain->SetEnabled(false);
    EXPECT_NE(ShownColour(coloured->Widget()), QColor(Qt::yellow));
    EXPECT_EQ(ShownColour(coloured->Widget()), ShownColour(plain->Widget())) << "disabled, it looks as any disabled edit";
    coloured->SetEnabled(true);
    EXPECT_EQ(ShownColour(coloured->Widget()), QColor(Qt::yellow));
}

TEST_F(Controls, APlacedLabelSizesItselfToItsCaption) {
    auto* label = form.Make<ui::TLabel>(form.Client(), "Mode");
    label->SetBounds(10, 20, 200, 5);
    QWidget* widget = label->Widget();
    const int shortWidth = widget->width();
    EXPECT_EQ(widget->size(), widget->sizeHint());
    label->SetCaption("Polarization Angle (DEG)");
    EXPECT_GT(widget->width(), shortWidth);
    EXPECT_EQ(widget->size(), widget->sizeHint());
    EXPECT_EQ(widget->pos(), QPoint(10, 20)) << "its left and top stay";
}

TEST_F(Controls, AlignedControlsFollowTheirParentAndPlacedControlsStay) {
    auto* top = form.Make<ui::TGroupBox>(form.Client(), "Top ");
    top->SetBounds(0, 0, 10, 120);
    top->SetAlign(ui::TAlign::Top);
    auto* bottom = form.Make<ui::TPanel>(form.Client());
    bottom->SetBounds(0, 0, 10, 20);
    bottom->SetAlign(ui::TAlign::Bottom);
    auto* client = form.Make<ui::TRichEdit>(form.Client());
    client->SetAlign(ui::TAlign::Client);
    auto* placed = form.Make<ui::TButton>(top->Widget(), "START");
    placed->SetBounds(10, 20, 75, 25);
    auto* edit = form.Make<ui::TLabeledEdit>(top->Widget(), "#Cycles", "1");
    edit->SetBounds(10, 70, 60, 21);
    ShowAgain(form);

    const auto check = [&](int width, int height) {
        form.Window()->resize(width, height);
        QApplication::processEvents();
        const int clientHeight = form.Client()->height();
        EXPECT_EQ(top->Widget()->geometry(), QRect(0, 0, width, 120));
        EXPECT_EQ(bottom->Widget()->geometry(), QRect(0, clientHeight - 20, width, 20));
        EXPECT_EQ(client->Widget()->geometry(), QRect(0, 120, width, clientHeight - 140));
        EXPECT_EQ(placed->Widget()->geometry(), QRect(10, 20, 75, 25));
        EXPECT_EQ(edit->Widget()->geometry(), QRect(10, 70, 60, 21));
        EXPECT_EQ(edit->Label()->geometry().bottom() + 1 + 3, 70) << "the caption stands 3 pixels above its edit";
        EXPECT_EQ(edit->Label()->x(), 10);
    };
    check(400, 300);
    check(1000, 800);
    top->SetVisible(false);
    QApplication::processEvents();
    EXPECT_EQ(client->Widget()->y(), 0) << "a hidden aligned control leaves its room to the others";
}

TEST_F(Controls, WindowKindsOfferOnlyTheirBorderIcons) {
    form.SetBorderIcons(ui::biSystemMenu | ui::biMinimize);
    Qt::WindowFlags flags = form.Window()->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(form.Visible()) << "changing the icons keeps a shown window shown";

    ui::TForm fixed("Fixed", 240, 140);
    fixed.SetBorderStyle(ui::TBorderStyle::Dialog);
    flags = fixed.Window()->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(fixed.Window()->minimumSize(), QSize(240, 140));
    EXPECT_EQ(fixed.Window()->maximumSize(), QSize(240, 140));

    ui::TForm modal("Modal", 200, 100);
    modal.SetKeepOnTop(true);
    Qt::WindowFlags whileModal;
    dialogs.QueueModal([&](ui::TForm& shown) {
        whileModal = shown.Window()->windowFlags();
        shown.Close();
    });
    modal.ShowModal();
    EXPECT_EQ(whileModal & Qt::WindowType_Mask, Qt::Dialog) << "a modal window is a dialog window";
    EXPECT_FALSE(whileModal & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(whileModal & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(modal.Window()->windowFlags() & Qt::WindowMinimizeButtonHint) << "shown normally, it is a window again";
}

TEST_F(Controls, ACentredWindowStaysInsideTheScreensAvailableArea) {
    const QRect area = QApplication::primaryScreen()->availableGeometry();
    form.Window()->move(area.topLeft());
    ui::TForm wide("Wide", form.Width() + 300, 100);
    wide.Show();
    wide.CentreOn(form);
    EXPECT_EQ(wide.Window()->frameGeometry().left(), area.left()) << "not pushed off the left edge";

    form.Window()->move(area.right() - form.Window()->frameGeometry().width() + 1, area.bottom() - 50);
    wide.CentreOn(form);
    EXPECT_EQ(wide.Window()->frameGeometry().right(), area.right());
    EXPECT_LE(wide.Window()->frameGeometry().bottom(), area.bottom());

    ui::TForm huge("Huge", area.width() + 200, area.height() + 200);
    huge.Show();
    huge.CentreOnScreen();
    EXPECT_EQ(huge.Window()->frameGeometry().topLeft(), area.topLeft()) << "too large: its top-left corner shows";
    form.Window()->move(area.left() + 100, area.top() + 100);
    ui::TForm small("Small", 100, 60);
    small.Show();
    small.CentreOn(form);
    EXPECT_EQ(small.Window()->frameGeometry().center(), form.Window()->frameGeometry().center());
}

}  // namespace

namespace {

// Controls of a test form placed one under the other and shown, so that focus and the pointer reach them.
template <class T, class... Args>
T* Placed(ui::TForm& form, Args&&... args) {
    T* control = form.Make<T>(form.Client(), std::forward<Args>(args)...);
    static int row = 0;
    control->Widget()->setGeometry(0, (row++ % 8) * 34, 200, 30);
    control->Widget()->show();
    return control;
}

void Activate(ui::TForm& form) {
    form.Show();
    QApplication::setActiveWindow(form.Window());
    QApplication::processEvents();
}

TEST_F(Controls, AnEditIsLeftOnlyForAnotherControlOfItsWindowAndSelectsAllUnlessClicked) {
    auto* first = Placed<ui::TEdit>(form, "first");
    auto* second = Placed<ui::TEdit>(form, "second");
    int exits = 0;
    first->OnExit = [&] { ++exits; };
    ASSERT_TRUE(first->SetFocus());
    EXPECT_EQ(first->SelText(), "first") << "the focus given from code selects the text";

    ui::TForm other("Other", 200, 100);
    Activate(other);
    Activate(form);
    dialogs.OpenRealBoxes();
    ui::ShowExceptionBox("a box takes the focus");
    form.Hide();
    Activate(form);
    EXPECT_EQ(exits, 0) << "deactivation, a modal box and hiding are no exit";
    EXPECT_TRUE(first->Focused());

    QTest::keyClick(first->Widget(), Qt::Key_Tab);
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(second->Focused());
    EXPECT_EQ(second->SelText(), "second") << "Tab selects the text";
    QTest::keyClick(second->Widget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(first->SelText(), "first") << "so does Shift+Tab";
    QTest::mouseClick(second->Widget(), Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_TRUE(second->Focused());
    EXPECT_EQ(exits, 2);
    EXPECT_EQ(second->SelText(), "") << "a click places the caret";
}

TEST_F(Controls, EnterClicksAFocusedButtonAndTabLeavesARichEdit) {
    auto* button = Placed<ui::TButton>(form, "Go");
    auto* pane = Placed<ui::TRichEdit>(form);
    auto* edit = Placed<ui::TEdit>(form);
    int clicks = 0;
    int defaults = 0;
    button->OnClick = [&] { ++clicks; };
    form.OnDefaultKey = [&] { ++defaults; };
    button->SetFocus();
    QTest::keyClick(button->Widget(), Qt::Key_Return);
    QTest::keyClick(button->Widget(), Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(defaults, 0);
    edit->SetFocus();
    QTest::keyClick(edit->Widget(), Qt::Key_Return);
    EXPECT_EQ(defaults, 1) << "elsewhere Enter is the form's default key";

    pane->SetFocus();
    QTest::keyClick(pane->Widget(), Qt::Key_Tab);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(pane->LineCount(), 0) << "no tab character";
}

TEST_F(Controls, AFocusedControlThatIsDisabledLeavesItsFormWithNoFocusedControl) {
    auto* edit = Placed<ui::TEdit>(form);
    auto* next = Placed<ui::TEdit>(form);
    auto* box = Placed<ui::TGroupBox>(form, "Box");
    auto* inBox = form.Make<ui::TEdit>(box->Widget());
    inBox->Widget()->show();
    int exits = 0;
    edit->OnExit = [&] { ++exits; };
    ASSERT_TRUE(edit->SetFocus());
    edit->SetEnabled(false);
    QTest::keyClicks(nullptr, "P2");
    EXPECT_FALSE(next->Focused()) << "the focus went on to the next control";
    EXPECT_EQ(next->Text(), "");
    EXPECT_EQ(exits, 0);
    ui::TForm other("Other", 200, 100);
    Activate(other);
    Activate(form);
    EXPECT_FALSE(next->Focused()) << "nor when the window is activated again";
    ASSERT_TRUE(inBox->SetFocus());
    box->SetEnabled(false);
    QTest::keyClicks(nullptr, "P2");
    EXPECT_EQ(next->Text(), "") << "nor from a disabled container";
}

TEST_F(Controls, TheWheelChangesOnlyAFocusedSettingUnderThePointerAndScrollsAnyPaneUnderIt) {
    auto* combo = Placed<ui::TComboBox>(form, "", false);
    combo->SetItems({"A", "B", "C"});
    combo->SetItemIndex(1);
    auto* bar = Placed<ui::TTrackBar>(form);
    bar->SetMax(10);
    bar->SetPosition(5);
    auto* edit = Placed<ui::TEdit>(form);
    auto* pane = Placed<ui::TRichEdit>(form);
    for (int i = 0; i < 20; ++i)
        pane->AddLine("line " + std::to_string(i), ui::clBlack);
    QApplication::processEvents();
    const int paneEnd = pane->Editor()->verticalScrollBar()->value();
    int selects = 0;
    combo->OnSelect = [&] { ++selects; };
    const auto turn = [](QWidget* under) {
        const QPointF at(20, 10);
        QWheelEvent wheel(at, under->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(under, &wheel);
    };
    edit->SetFocus();
    turn(combo->Widget());
    turn(bar->Widget());
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(bar->Position(), 5);
    EXPECT_EQ(selects, 0);
    bar->SetFocus();
    turn(combo->Widget());
    turn(pane->Editor()->viewport());
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(bar->Position(), 5) << "a turn over another control reached the focused track bar";
    EXPECT_LT(pane->Editor()->verticalScrollBar()->value(), paneEnd) << "the unfocused pane did not scroll";
    EXPECT_EQ(QApplication::focusWidget(), bar->Widget());
    turn(bar->Widget());
    EXPECT_NE(bar->Position(), 5) << "the focused track bar under the pointer took no turn";
}

TEST_F(Controls, TheMainFormsShortcutsActFromOtherWindowsAfterTheirOwnAndNotUnderAModalBox) {
    std::string ran;
    ui::TMenuItem* file = form.MainMenu()->Add("File");
    file->Add("Send", "F1")->OnClick = [&] { ran += "main F1 "; };
    file->Add("Own", "F2")->OnClick = [&] { ran += "main F2 "; };
    file->Add("Exit", "Ctrl+X")->OnClick = [&] { ran += "exit "; };
    form.MainMenu()->Add("Edit")->Add("Cut", "Ctrl+X")->OnClick = [&] { ran += "cut "; };
    auto* mainEdit = Placed<ui::TEdit>(form, "abc");
    auto* mainButton = Placed<ui::TButton>(form, "Go");

    mainButton->SetFocus();
    QTest::keyClick(mainButton->Widget(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(ran, "exit ") << "one item holds the key";
    mainEdit->SetFocus();
    QTest::keyClick(mainEdit->Widget(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(mainEdit->Text(), "") << "in an edit the key cuts";
    EXPECT_EQ(ran, "exit ");

    ui::TForm panel("Panel", 200, 200);
    panel.MainMenu()->Add("Own")->Add("Own F2", "F2")->OnClick = [&] { ran += "panel F2 "; };
    auto* edit = panel.Make<ui::TEdit>(panel.Client());
    Activate(panel);
    form.SetWindowState(ui::WindowState::Minimized);
    edit->SetFocus();
    ran.clear();
    QTest::keyClick(edit->Widget(), Qt::Key_F1);
    QTest::keyClick(edit->Widget(), Qt::Key_F2);
    EXPECT_EQ(ran, "main F1 panel F2 ");

    ran.clear();
    ui::TForm dialog("Dialog", 100, 100);
    auto* field = dialog.Make<ui::TEdit>(dialog.Client());
    dialogs.QueueModal([&](ui::TForm&) { QTest::keyClick(field->Widget(), Qt::Key_F1); });
    dialog.ShowModal();
    EXPECT_EQ(ran, "") << "a modal window passes no key on";
}

TEST_F(Controls, AnAddedLineComesIntoView) {
    auto* pane = Placed<ui::TRichEdit>(form);
    pane->Widget()->resize(200, 120);
    for (int i = 0; i < 100; ++i)
        pane->AddLine("line " + std::to_string(i), ui::clBlack);
    QApplication::processEvents();
    EXPECT_GT(pane->Editor()->verticalScrollBar()->value(), 0);
    const QTextCursor newest(pane->Editor()->document()->findBlockByNumber(99));
    EXPECT_TRUE(pane->Editor()->viewport()->rect().contains(pane->Editor()->cursorRect(newest)));
}

}  // namespace

namespace {

// The window as it was last painted and flushed, against a full repaint of it now: parts that Qt
// repainted alone (a changed edit, a status panel, the lines added to a pane and the pane's scroll)
// must leave the same picture as painting everything again.
void ExpectShownAsFullyRepainted(ui::TForm& form, const std::string& when) {
    QTest::qWait(100);  // a held-back frame is painted
    QWidget* window = form.Window();
    const QPaintDevice* device = window->backingStore()->paintDevice();
    ASSERT_EQ(device->devType(), QInternal::Image);
    const QImage shown = static_cast<const QImage*>(device)->copy(window->rect()).convertToFormat(QImage::Format_RGB32);
    const QImage full = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), full.size());
    int differing = 0;
    QPoint first;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x)
            if (shown.pixel(x, y) != full.pixel(x, y) && differing++ == 0)
                first = {x, y};
    EXPECT_EQ(differing, 0) << when << ": first at " << first.x() << "," << first.y();
}

// A part in the given look, drawn by draw(painter) on a window-coloured image.
template <class Draw>
QImage DrawnPart(const QStyleOption& option, Draw draw) {
    QImage image(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(option.palette.window().color());
    QPainter painter(&image);
    draw(painter);
    return image;
}

QImage DrawnScrollBar(const QStyle& style, const QStyleOptionSlider& option, QScrollBar& bar) {
    return DrawnPart(option, [&](QPainter& painter) { style.drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, &bar); });
}

// "" when the pictures are alike, each colour channel within shades; else how many pixels differ, and
// the first.
std::string DifferingPixels(const QImage& a, const QImage& b, int shades = 0) {
    if (a.size() != b.size())
        return "sizes differ";
    const auto differs = [shades](QRgb p, QRgb q) {
        return std::abs(qRed(p) - qRed(q)) > shades || std::abs(qGreen(p) - qGreen(q)) > shades ||
               std::abs(qBlue(p) - qBlue(q)) > shades || std::abs(qAlpha(p) - qAlpha(q)) > shades;
    };
    int count = 0;
    std::string first;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (differs(a.pixel(x, y), b.pixel(x, y)) && count++ == 0)
                first = std::to_string(x) + "," + std::to_string(y) + ": " + QColor(a.pixel(x, y)).name().toStdString() +
                        " against " + QColor(b.pixel(x, y)).name().toStdString();
    return count == 0 ? "" : std::to_string(count) + " pixels, the first at " + first;
}

TEST_F(Controls, AScrollBarDrawnFromTheCacheLooksAsTheStyleDrawsIt) {
    QScrollBar bar(Qt::Vertical);
    const QStyle& plain = *QApplication::style();
    const QStyle& cached = *ui::CachedStyle();
    struct Look {
        Qt::Orientation orientation;
        int maximum, value;
        QStyle::SubControls active;
        QStyle::State state;
    };
    const QStyle::State usual = QStyle::State_Enabled | QStyle::State_Active;
    std::vector<Look> looks{
        {Qt::Vertical, 100, 0, QStyle::SC_None, usual},
        {Qt::Vertical, 100, 37, QStyle::SC_None, usual},
        {Qt::Vertical, 100, 100, QStyle::SC_None, usual},
        {Qt::Vertical, 0, 0, QStyle::SC_None, usual},
        {Qt::Vertical, 50000, 25000, QStyle::SC_None, usual},
        {Qt::Vertical, 100, 37, QStyle::SC_ScrollBarSlider, usual | QStyle::State_Sunken},
        {Qt::Vertical, 100, 37, QStyle::SC_ScrollBarSlider, usual | QStyle::State_MouseOver},
        {Qt::Vertical, 100, 37, QStyle::SC_ScrollBarAddLine, usual | QStyle::State_Sunken},
        {Qt::Vertical, 100, 37, QStyle::SC_ScrollBarSubLine, usual | QStyle::State_MouseOver},
        {Qt::Vertical, 100, 37, QStyle::SC_None, QStyle::State_None},
        {Qt::Horizontal, 300, 120, QStyle::SC_None, usual},
        {Qt::Horizontal, 300, 300, QStyle::SC_ScrollBarAddLine, usual | QStyle::State_Sunken},
    };
    // Handles a pixel longer or shorter, in the middle and a pixel or two from either end.
    for (int maximum = 90; maximum <= 110; ++maximum)
        for (const int value : {1, 2, 3, 5, maximum / 2, maximum - 5, maximum - 3, maximum - 2, maximum - 1})
            looks.push_back({Qt::Vertical, maximum, value, QStyle::SC_None, usual});
    for (const Look& look : looks) {
        bar.setOrientation(look.orientation);
        bar.resize(look.orientation == Qt::Vertical ? QSize(17, 240) : QSize(300, 17));
        bar.setRange(0, look.maximum);
        bar.setPageStep(20);
        bar.setValue(look.value);
        QStyleOptionSlider option;
        option.initFrom(&bar);
        option.orientation = look.orientation;
        option.rect = bar.rect();
        option.minimum = 0;
        option.maximum = look.maximum;
        option.sliderPosition = option.sliderValue = look.value;
        option.pageStep = 20;
        option.singleStep = 1;
        option.subControls = QStyle::SC_All;
        option.activeSubControls = look.active;
        option.state = look.state | (look.orientation == Qt::Horizontal ? QStyle::State_Horizontal : QStyle::State_None);
        for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            option.direction = direction;
            const QImage drawn = DrawnScrollBar(plain, option, bar);
            // Twice: drawn into the cache, then from it. Where the handle's faint corner meets the
            // groove's faint edge, blending them apart first may round a shade or three differently.
            for (int time = 0; time < 2; ++time)
                EXPECT_EQ(DifferingPixels(DrawnScrollBar(cached, option, bar), drawn, 3), "")
                    << "maximum " << look.maximum << " value " << look.value << " active " << look.active
                    << " state " << look.state << " direction " << direction << " time " << time;
        }
    }
}

TEST_F(Controls, AnEditPanelDrawnFromTheCacheLooksAsTheStyleDrawsIt) {
    QLineEdit edit;
    const QStyle& plain = *QApplication::style();
    const QStyle& cached = *ui::CachedStyle();
    const QStyle::State usual = QStyle::State_Enabled | QStyle::State_Active;
    for (const QSize size : {QSize(200, 22), QSize(64, 20)}) {
        for (const QStyle::State state : {usual, usual | QStyle::State_HasFocus, usual | QStyle::State_ReadOnly,
                                          usual | QStyle::State_MouseOver, QStyle::State(QStyle::State_Active)}) {
            edit.resize(size);
            QStyleOptionFrame option;
            option.initFrom(&edit);
            option.rect = QRect(QPoint(0, 0), size);
            option.state = state;
            option.lineWidth = plain.pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
            const auto panel = [&](const QStyle& style) {
                return DrawnPart(option, [&](QPainter& painter) { style.drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, &edit); });
            };
            const QImage drawn = panel(plain);
            for (int time = 0; time < 2; ++time)
                EXPECT_EQ(DifferingPixels(panel(cached), drawn, 3), "") << size.width() << " state " << state << " time " << time;
        }
    }
}

TEST_F(Controls, WhatAWindowShowsAfterItsControlsChangeIsWhatAFullRepaintDraws) {
    const int flashTime = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(0);  // a steady caret, the same in both pictures
    form.SetColor(ui::clMaroon);
    auto* group = form.Make<ui::TGroupBox>(form.Client(), "Group ");
    group->SetBounds(5, 5, 380, 280);
    group->SetColor(ui::clNavy);
    auto* edit = form.Make<ui::TEdit>(group->Widget(), "");
    edit->SetBounds(10, 20, 200, 22);
    auto* pane = form.Make<ui::TRichEdit>(group->Widget());
    pane->SetBounds(10, 50, 360, 180);
    auto* bar = form.Make<ui::TStatusBar>(group->Widget(), std::vector<std::pair<std::string, int>>{{"Lines:", 100}, {"", 50}});
    bar->SetBounds(10, 240, 360, 24);
    for (ui::TControl* control : std::initializer_list<ui::TControl*>{group, edit, pane, bar})
        control->Widget()->show();
    QApplication::setActiveWindow(form.Window());
    edit->SetFocus();
    ExpectShownAsFullyRepainted(form, "at first");
    const QLabel* emptyPanel = bar->Widget()->findChildren<QLabel*>().at(1);
    EXPECT_EQ(ShownColour(bar->Widget(), emptyPanel->geometry().center()), QColor(0, 0, 0x80)) << "the group shows through a panel";

    int line = 0;
    for (int round = 0; round < 6; ++round) {
        edit->SetText("command " + std::to_string(round));
        for (int i = 0; i <= round % 3; ++i)
            pane->AddLine("line " + std::to_string(line++), round % 2 ? ui::clGreen : ui::clBlack);
        pane->CaretToEnd();
        bar->SetPanelText(0, "Lines: " + std::to_string(line));
        ExpectShownAsFullyRepainted(form, "round " + std::to_string(round));
    }
    pane->AddLine("two\r\nlines", ui::clRed);
    for (int i = 0; i < 400; ++i)
        pane->AddLine("line " + std::to_string(line++), ui::clBlack);
    ExpectShownAsFullyRepainted(form, "after a burst and a line of two");
    pane->Editor()->verticalScrollBar()->setValue(0);
    pane->AddLine("seen only by the scroll to the end", ui::clBlack);
    ExpectShownAsFullyRepainted(form, "after a line added while the top was in view");
    QApplication::setCursorFlashTime(flashTime);
}

}  // namespace
