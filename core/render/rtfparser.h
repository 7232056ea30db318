#pragma once

#include "core/render/rtfcodepages.h"
#include "core/render/rtfcontent.h"
#include "core/render/rtftokenizer.h"
#include "core/render/rtfreader.h"

#include <QColor>
#include <QHash>
#include <QList>

#include <array>
#include <optional>

namespace Rtf {

enum class Dest {
    Text, Skip, FontTable, ColorTable, Header, Footer, Footnote, Picture, ListDef, ListLabel, FieldInstruction,
    ListTable, LevelText, ListOverrides
};

struct State {
    Dest dest = Dest::Text;
    // character
    bool bold = false, italic = false, underline = false, strike = false, hidden = false;
    bool smallCaps = false, allCaps = false;
    bool listText = false; // a list label, whose symbol-font bullets print as bullets
    int font = -1, halfPoints = 24, color = 0, background = 0, vertical = 0;
    int uc = 1;
    // paragraph
    Qt::Alignment align = Qt::AlignLeft;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    bool inTable = false;
    int itap = 1;
    int list = 0, listLevel = 0; // \ls, \ilvl
    bool nestedRowProperties = false; // inside \nesttableprops
};

// The cells of a row as \trowd ... \cellx define them.
struct RowDefinition {
    QList<int> cellx;
    QList<quint8> merges;
    quint8 merge = 0; // of the cell whose \cellx comes next
    int left = 0;
    bool borders = false;
    bool header = false; // \trhdr: repeated at the top of each page
};

// Where the paragraphs of the body, or of a header, footer or footnote, go
// while they are read: each has its own open tables and row definitions.
struct Flow {
    Paragraph paragraph; // being read
    QList<Table> tables; // open, the outermost first
    // Rows of nested tables are defined apart (\nesttableprops), so
    // they do not change the columns of the row that holds them.
    RowDefinition outerRow, nestedRow;
};

struct Font {
    QString name;
    int codePage = 0; // 0: the document's
};

struct Picture {
    QByteArray format; // "png", "jpg" or empty for what Qt cannot draw
    QByteArray hex, binary;
    int picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;
};

// Old Word numbering (\pn): what to put in front of a paragraph that
// brings no \pntext of its own.
struct Numbering {
    enum Style { Decimal, UpperLetter, LowerLetter, UpperRoman, LowerRoman };
    bool active = false, bullet = false;
    int next = 1;
    Style style = Decimal;
    QString before, after;
    bool continued = false;
    QString label(int number) const { return numberText(number, style); }
    static QString numberText(int number, Style style);
};

// The list table (\listtable, \listoverridetable) and the counters of the
// lists that paragraphs name with \ls: the labels a writer leaves to the
// reader to number.
class Lists {
public:
    // While the list table is read.
    void beginList();
    void beginLevel();
    void listWord(const QByteArray &word, int param);
    void addLevelText(const QString &text);
    // While the override table is read.
    void overrideWord(const QByteArray &word, int param);

    // The next label of list `list` at `level`, counted on; empty when the
    // document does not define that list.
    std::optional<QString> label(int list, int level);

private:
    struct Level {
        int format = 0; // \levelnfc
        int start = 1;
        QString text;   // characters below 9 stand for the numbers of those levels
        int follow = 0; // 0 a tab, 1 a space, 2 nothing
    };
    struct List {
        QList<Level> levels;
    };
    static constexpr int kLevels = 9;
    static constexpr int kMaxLists = 4096;
    Level *level();
    QList<List> m_lists;
    QHash<int, int> m_byId;      // \listid to its index in m_lists
    QHash<int, int> m_overrides; // \ls to \listid
    int m_overrideId = 0;
    struct Counters {
        std::array<int, kLevels> value{};
        std::array<bool, kLevels> started{};
    };
    QHash<int, Counters> m_counters; // by \ls
};

class Parser {
public:
    explicit Parser(const QByteArray &in);
    RtfReader::Document run();

private:
    // rtfparser.cpp: groups, text and paragraphs
    void groupOpen();
    void groupClose();
    void finishDestination(Dest dest);
    void addBytes(const QByteArray &bytes);
    void addText(const QString &text);
    void flushBytes();
    void flushText();
    QString breakLongWords(const QString &text);
    Paragraph &currentParagraph() { return flow().paragraph; }
    // The body's flow, or the header's, footer's or footnote's being read.
    Flow &flow() { return m_st.dest == Dest::Text ? m_body : m_side; }
    QTextCharFormat charFormat() const;
    QTextCharFormat makeCharFormat() const;
    QTextBlockFormat blockFormat() const;
    int codePage() const;
    int paragraphLevel() const { return m_st.inTable ? std::clamp(m_st.itap, 1, kMaxNesting) : 0; }
    void endParagraph();
    void commit(Flow &flow, Paragraph paragraph, int level);
    void emit(Flow &flow, Item item);
    void adjustDepth(Flow &flow, int level);
    Table &tableAt(Flow &flow, int level);
    void endCell(Flow &flow, int level);
    void endRow(Flow &flow, int level);
    void closeSide();

    // rtfcontrols.cpp: control words and symbols
    void controlWord(const Token &t);
    void controlSymbol(const Token &t);
    bool destination(const QByteArray &word);
    bool isPageNumberField() const;
    bool characterWord(const QByteArray &word, bool hasParam, int param);
    bool paragraphWord(const QByteArray &word, bool hasParam, int param);
    bool pageWord(const QByteArray &word, int param);
    void fontTableWord(const QByteArray &word, int param);
    void pictureWord(const QByteArray &word, int param);
    void listDefWord(const QByteArray &word, int param);

    // rtflists.cpp: labels of list paragraphs
    void addListLabel(Paragraph &paragraph);

    // rtfpicture.cpp
    void finishPicture();

    static constexpr int kMaxGroupDepth = 2000;
    static constexpr int kMaxNesting = 8;
    static constexpr int kMaxColumns = 63;
    static constexpr qsizetype kMaxCharacters = 5'000'000; // some 1,500 pages

    Tokenizer m_tokens;
    State m_st;
    QList<State> m_stack;
    int m_overflow = 0; // groups past the depth limit, read with the state in force
    bool m_groupStart = false;
    bool m_ignorable = false;
    int m_ucSkip = 0;

    CodePages m_codePages;
    int m_docCodePage = 1252;
    QByteArray m_bytes;
    QString m_text;
    qsizetype m_characters = 0;
    int m_wordLength = 0;
    bool m_truncated = false;

    // The character formats made last, with the state each was made for:
    // a file uses a few formats again and again.
    struct FormatKey {
        State character;
        int defaultFont = 0, tables = 0;
    };
    static constexpr int kKeptFormats = 16;
    mutable QList<std::pair<FormatKey, QTextCharFormat>> m_formats;
    mutable int m_nextFormat = 0; // the one to replace next
    int m_tableChanges = 0; // fonts and colours defined so far

    QHash<int, Font> m_fonts;
    int m_fontIndex = 0, m_defaultFont = 0;
    QByteArray m_fontName;
    int m_fontCodePage = 0;
    QList<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorPending = false;

    Flow m_body, m_side;
    Dest m_sideDest = Dest::Header; // what m_side is read for
    bool m_pageBreak = false;
    std::unique_ptr<QTextDocument> m_document;
    Writer m_writer;
    RowDefinition &definedRow() { return m_st.nestedRowProperties ? flow().nestedRow : flow().outerRow; }
    static const RowDefinition &definedRow(const Flow &flow, int level)
    {
        return level > 1 ? flow.nestedRow : flow.outerRow;
    }

    // Headers and footers by the pages they are for: \header and \footer all
    // pages, \headerl left (even) ones, \headerr right (odd) ones,
    // \headerf the first (with \titlepg).
    enum Side { AllPages, LeftPages, RightPages, FirstPage, kSides };
    std::array<QList<Item>, kSides> m_headers, m_footers;
    std::array<bool, kSides> m_haveHeader{}, m_haveFooter{};
    Side m_sideFor = AllPages; // the pages of the header or footer being read
    static std::optional<Side> sideOf(const QByteArray &word);
    QList<Item> m_footnotes;
    bool m_titlePage = false, m_facingPages = false;
    QList<Item> &sideItems(Dest dest);
    int m_footnoteNumber = 0;
    Picture m_picture;
    QByteArray m_fieldInstruction;
    Numbering m_numbering;
    Lists m_lists;
    bool m_paragraphHasListText = false;
    bool m_labelAfter = false;

    RtfReader::PageSetup m_page;
    int m_sections = 0;
};

} // namespace Rtf
