#include "ui/RichEdit.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "ui/Backdrop.h"
#include "ui/CachedStyle.h"
#include "ui/GuiThread.h"
#include "ui/KeyInput.h"
#include "ui/Printing.h"
#include "ui/RtfReader.h"
#include "ui/RtfWriter.h"

namespace ui {
namespace {

// Runs change with the widget's repaints held off; they are not made up for afterwards.
template <class F>
void WithoutRepaint(QWidget& widget, F change) {
    const bool wasDisabled = widget.testAttribute(Qt::WA_UpdatesDisabled);
    widget.setAttribute(Qt::WA_UpdatesDisabled, true);
    change();
    widget.setAttribute(Qt::WA_UpdatesDisabled, wasDisabled);
}

// A scroll bar that is repainted only when its look changes. A value or range change moves the handle
// of a long pane's scroll bar by a pixel only every few dozen lines, but Qt would repaint the whole bar
// at each line added.
class ScrollBarRepaintedOnChange : public QScrollBar {
public:
    explicit ScrollBarRepaintedOnChange(Qt::Orientation orientation) : QScrollBar(orientation) {
        setStyle(CachedStyle());
    }

protected:
    void sliderChange(SliderChange change) override {
        const Look look = CurrentLook();
        if (change == SliderOrientationChange || look != shown_)
            QScrollBar::sliderChange(change);
        shown_ = look;
    }

private:
    struct Look {
        QRect handle;
        bool empty;
        bool operator==(const Look&) const = default;
    };
    Look CurrentLook() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
                minimum() == maximum()};
    }
    Look shown_{};
};

class RichEditWidget : public QPlainTextEdit {
public:
    RichEditWidget(QWidget* parent, TRichEdit* owner) : QPlainTextEdit(parent), owner_(owner) {}

    // Lines added at the end: the document's layout would repaint the whole viewport for them. Only the
    // lines from the one that was last down differ; the scroll to the end copies the rest. The scroll
    // waits for the event loop, so that the lines added meanwhile (a burst, or a reply after its
    // command) scroll once.
    template <class F>
    void AppendAtEnd(F append) {
        const int lastBefore = document()->blockCount() - 1;
        WithoutRepaint(*viewport(), append);
        ScrollToEndSoon(lastBefore);
    }

    // A caret already at the end comes into view with that same scroll.
    void CaretToEnd() {
        if (textCursor().atEnd() && !textCursor().hasSelection()) {
            ScrollToEndSoon(document()->blockCount() - 1);
            return;
        }
        moveCursor(QTextCursor::End);
        ensureCursorVisible();
    }

protected:
    // The viewport fills its own background (a style sheet colour would leave that to the frame), so a
    // line added repaints the viewport alone and not the frame and the window beneath it.
    void paintEvent(QPaintEvent* event) override {
        QPainter(viewport()).fillRect(event->rect(), viewport()->palette().brush(viewport()->backgroundRole()));
        QPlainTextEdit::paintEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (DeliverKeyDown(event, nullptr, owner_->OnKeyPress))
            QPlainTextEdit::keyPressEvent(event);
    }
    // The frame looks the same with and without the focus (the caret shows it, in the viewport), so a
    // focus change does not repaint the whole pane; the send road moves the focus at every command.
    void focusInEvent(QFocusEvent* event) override {
        WithoutRepaint(*this, [&] { QPlainTextEdit::focusInEvent(event); });
        FocusArrived(owner_, event);
    }
    void focusOutEvent(QFocusEvent* event) override {
        WithoutRepaint(*this, [&] { QPlainTextEdit::focusOutEvent(event); });
        FocusLeft(owner_, event);
    }

private:
    void ScrollToEndSoon(int firstChanged) {
        if (scrollPending_) {
            firstChanged_ = std::min(firstChanged_, firstChanged);
            return;
        }
        scrollPending_ = true;
        firstChanged_ = firstChanged;
        QMetaObject::invokeMethod(this, [this] { ScrollToNewLines(); }, Qt::QueuedConnection);
    }
    void ScrollToNewLines() {
        scrollPending_ = false;
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        const QTextBlock first = document()->findBlockByNumber(std::min(firstChanged_, document()->blockCount() - 1));
        const int top = static_cast<int>(blockBoundingGeometry(first).translated(contentOffset()).top());
        if (top < viewport()->height())
            viewport()->update(0, std::max(0, top), viewport()->width(), viewport()->height());
    }

    TRichEdit* owner_;
    bool scrollPending_ = false;
    int firstChanged_ = 0;  // the first block that the pending scroll repaints
};

// Splits a text at CR LF, CR or LF.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

// A change the program makes is not the operator's to undo: it leaves the undo history empty (the
// history exists only where SetUndoEnabled switched it on).
template <class Change>
void WithoutUndo(QPlainTextEdit& editor, Change change) {
    QTextDocument* document = editor.document();
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    change();
    document->setUndoRedoEnabled(undo);
}

QTextCharFormat FormatOf(TColor colour) {
    QTextCharFormat format;
    format.setForeground(QColor::fromRgb(colour));
    return format;
}

TColor ColourOf(const QTextBlock& block) {
    const QTextCharFormat format = block.begin().atEnd() ? block.charFormat() : block.begin().fragment().charFormat();
    return format.foreground().color().rgb() & 0xFFFFFFu;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot open file \"" + path + "\".");
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("Cannot create file \"" + path + "\".");
    out << content;
    out.close();
    if (!out)
        throw std::runtime_error("Cannot write file \"" + path + "\".");
}

}  // namespace

TRichEdit::TRichEdit(QWidget* parent) : TControl(new RichEditWidget(parent, this)) {
    Editor()->setLineWrapMode(QPlainTextEdit::NoWrap);
    Editor()->setUndoRedoEnabled(false);
    Editor()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Editor()->viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    Editor()->setVerticalScrollBar(new ScrollBarRepaintedOnChange(Qt::Vertical));
    Editor()->setHorizontalScrollBar(new ScrollBarRepaintedOnChange(Qt::Horizontal));
    for (QScrollBar* bar : {Editor()->verticalScrollBar(), Editor()->horizontalScrollBar()}) {
        MakeOpaqueOverBackdrop(bar);
        MakeOpaqueOverBackdrop(bar->parentWidget());
    }
    Editor()->setTabChangesFocus(true);
    // The text is 8-bit Latin, which needs no shaping; laying out each line added is then about half as
    // dear.
    QFont font = Editor()->font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    Editor()->setFont(font);
    QObject::connect(Editor(), &QPlainTextEdit::textChanged, Editor(), [this] { Guarded(OnChange); });
}

QPlainTextEdit* TRichEdit::Editor() const { return static_cast<QPlainTextEdit*>(widget_.data()); }

int TRichEdit::LineCount() const {
    return OnGui([&] {
        if (!widget_)
            return 0;
        const QTextDocument* doc = Editor()->document();
        const int blocks = doc->blockCount();
        return doc->lastBlock().length() <= 1 ? blocks - 1 : blocks;
    });
}

std::string TRichEdit::Line(int index) const {
    return OnGui([&] {
        if (!widget_ || index < 0 || index >= LineCount())
            return std::string();
        return FromQt(Editor()->document()->findBlockByNumber(index).text());
    });
}

void TRichEdit::SetLine(int index, const std::string& text) {
    OnGui([&] {
        if (!widget_ || index < 0 || index >= LineCount())
            return;
        const QTextBlock block = Editor()->document()->findBlockByNumber(index);
        const TColor colour = ColourOf(block);
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        WithoutUndo(*Editor(), [&] { cursor.insertText(ToQt(text), FormatOf(colour)); });
    });
}

std::vector<std::string> TRichEdit::Lines() const {
    return OnGui([&] {
        std::vector<std::string> lines;
        if (!widget_)
            return lines;
        const int count = LineCount();
        QTextBlock block = Editor()->document()->firstBlock();
        for (int i = 0; i < count && block.isValid(); ++i, block = block.next())
            lines.push_back(FromQt(block.text()));
        return lines;
    });
}

void TRichEdit::AddLine(const std::string& text, TColor colour) {
    OnGui([&] {
        if (!widget_)
            return;
        static_cast<RichEditWidget*>(Editor())->AppendAtEnd([&] { WithoutUndo(*Editor(), [&] {
            QTextCursor cursor(Editor()->document());
            cursor.movePosition(QTextCursor::End);
            cursor.beginEditBlock();
            if (Editor()->document()->lastBlock().length() > 1)
                cursor.insertBlock();
            const QTextCharFormat format = FormatOf(colour);
            const auto lines = SplitLines(text);
            for (std::size_t i = 0; i < lines.size(); ++i) {
                if (i > 0)
                    cursor.insertBlock(QTextBlockFormat(), format);
                cursor.insertText(ToQt(lines[i]), format);
            }
            cursor.insertBlock(QTextBlockFormat(), format);
            cursor.endEditBlock();
        }); });
        // The new line comes into view by the scroll to the end. (Moving the caret there each time would
        // triple the cost of a line; a caret already at the end stays there as lines are added.)
    });
}

void TRichEdit::AddLine(const std::string& text) { AddLine(text, SelColor()); }

void TRichEdit::SetSelColor(TColor colour) {
    OnGui([&] { selColour_ = colour; });
}

TColor TRichEdit::SelColor() const {
    return OnGui([&] { return selColour_; });
}

void TRichEdit::Clear() {
    OnGui([&] {
        if (widget_)
            WithoutUndo(*Editor(), [&] { Editor()->clear(); });
    });
}

void TRichEdit::CaretToEnd() {
    OnGui([&] {
        if (!widget_)
            return;
        static_cast<RichEditWidget*>(Editor())->CaretToEnd();
    });
}

std::string TRichEdit::SelText() const {
    return OnGui([&] {
        if (!widget_)
            return std::string();
        // Qt marks paragraph breaks in a selection with U+2029; the program sees CR LF.
        QString text = Editor()->textCursor().selectedText();
        text.replace(QChar(0x2029), QStringLiteral("\r\n"));
        return FromQt(text);
    });
}

void TRichEdit::SetSelection(int start, int length) {
    OnGui([&] {
        if (!widget_)
            return;
        QTextCursor cursor(Editor()->document());
        const int end = Editor()->document()->characterCount() - 1;
        cursor.setPosition(std::clamp(start, 0, end));
        cursor.setPosition(std::clamp(start + length, 0, end), QTextCursor::KeepAnchor);
        Editor()->setTextCursor(cursor);
    });
}

void TRichEdit::SelectAll() {
    OnGui([&] {
        if (widget_)
            Editor()->selectAll();
    });
}

bool TRichEdit::ReadOnly() const {
    return OnGui([&] { return widget_ && Editor()->isReadOnly(); });
}

void TRichEdit::SetReadOnly(bool readOnly) {
    OnGui([&] {
        if (widget_)
            Editor()->setReadOnly(readOnly);
    });
}

void TRichEdit::SetUndoEnabled(bool enabled) {
    OnGui([&] {
        if (widget_)
            Editor()->setUndoRedoEnabled(enabled);
    });
}

void TRichEdit::SetWordWrap(bool wrap) {
    OnGui([&] {
        if (widget_)
            Editor()->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    });
}

void TRichEdit::LoadFromFile(const std::string& path) {
    const std::string content = ReadWholeFile(path);
    OnGui([&] {
        Clear();
        if (!plainText_ && IsRtf(content)) {
            for (const ColouredLine& line : RtfToLines(content))
                AddLine(line.text, line.rgb);
            return;
        }
        auto lines = SplitLines(content);
        if (!lines.empty() && lines.back().empty())
            lines.pop_back();
        for (const auto& line : lines)
            AddLine(line, clBlack);
    });
}

void TRichEdit::SaveToFile(const std::string& path) const {
    std::string content;
    OnGui([&] {
        if (plainText_) {
            content = LinesToPlainText(Lines());
            return;
        }
        std::vector<ColouredLine> lines;
        const int count = LineCount();
        QTextBlock block = Editor()->document()->firstBlock();
        for (int i = 0; i < count && block.isValid(); ++i, block = block.next())
            lines.push_back({FromQt(block.text()), ColourOf(block)});
        content = LinesToRtf(lines);
    });
    WriteWholeFile(path, content);
}

std::string TRichEdit::Print(const std::string& title) const {
    return OnGui([&] { return PrintDocument(*Editor()->document(), title); });
}

void TRichEdit::Cut() {
    OnGui([&] {
        if (widget_)
            Editor()->cut();
    });
}
void TRichEdit::Copy() {
    OnGui([&] {
        if (widget_)
            Editor()->copy();
    });
}
void TRichEdit::Paste() {
    OnGui([&] {
        if (widget_)
            Editor()->paste();
    });
}
void TRichEdit::Undo() {
    OnGui([&] {
        if (widget_)
            Editor()->undo();
    });
}
void TRichEdit::DeleteSelection() {
    OnGui([&] {
        if (widget_)
            Editor()->textCursor().removeSelectedText();
    });
}

}  // namespace ui
