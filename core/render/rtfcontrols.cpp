// Control words and symbols.
#include "core/render/rtfparser.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace Rtf {

namespace {
// What a control word is to the reader.
enum class WordKind : quint8 {
    None,
    Character, // formats characters
    Paragraph, // formats or ends paragraphs, cells and rows
    Page,      // sets up the page
    Symbol,    // stands for one character
    Skipped,   // starts a destination whose content is never printed
};

struct KnownWord {
    std::string_view name;
    WordKind kind;
    char16_t character; // for a Symbol
};

std::string_view view(const QByteArray &w) { return {w.constData(), static_cast<size_t>(w.size())}; }

// The words acted on, sorted and searched in halves: there are few of
// them, and hashing every word of a file cost more than this search. Most
// words in a file are none of them and are passed over with one look-up.
const KnownWord *knownWord(const QByteArray &w)
{
    static const std::vector<KnownWord> words = [] {
        std::vector<KnownWord> all;
        for (const char *word : {"b", "i", "ul", "uld", "uldb", "ulw", "uldash", "ulth", "ulnone", "strike", "striked",
                                 "v", "scaps", "caps", "fs", "f", "cf", "cb", "highlight", "chcbpat", "super", "sub",
                                 "up", "dn", "nosupersub", "uc", "deff", "ansicpg", "mac", "pc", "pca", "chftn",
                                 "chpgn", "plain"})
            all.push_back({word, WordKind::Character, 0});
        for (const char *word : {"par", "sect", "page", "pagebb", "pard", "ql", "qc", "qr", "qj", "qd", "li", "lin",
                                 "ri", "rin", "fi", "sb", "sa", "intbl", "itap", "trowd", "cellx", "trleft", "clmgf",
                                 "clmrg", "clvmgf", "clvmrg", "cell", "nestcell", "row", "nestrow", "trhdr", "ls", "ilvl"})
            all.push_back({word, WordKind::Paragraph, 0});
        for (const char *word : {"paperw", "paperh", "pgwsxn", "pghsxn", "margl", "margr", "margt", "margb",
                                 "marglsxn", "margrsxn", "margtsxn", "margbsxn", "landscape", "lndscpsxn", "headery",
                                 "footery", "titlepg", "facingp"})
            all.push_back({word, WordKind::Page, 0});
        for (const auto &[word, character] : std::initializer_list<std::pair<const char *, char16_t>>{
                 {"emdash", 0x2014}, {"endash", 0x2013}, {"bullet", 0x2022}, {"lquote", 0x2018}, {"rquote", 0x2019},
                 {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002},
                 {"qmspace", 0x2005}, {"tab", u'\t'}, {"line", 0x2028}, {"zwj", 0x200D}, {"zwnj", 0x200C}})
            all.push_back({word, WordKind::Symbol, character});
        for (const char *word :
             {"stylesheet", "info", "rsidtbl", "generator",
              "xmlnstbl", "themedata", "colorschememapping", "datastore", "latentstyles", "pgdsctbl", "bkmkstart",
              "bkmkend", "shpinst", "nonshppict", "annotation", "atnid", "atnauthor", "filetbl", "revtbl", "docvar",
              "userprops", "title", "author", "operator", "comment", "subject", "keywords", "doccomm", "template",
              "ftnsep", "ftnsepc", "aftnsep", "aftnsepc", "mmathPr", "xe", "tc", "background", "nonesttables",
              "objdata", "objclass", "blipuid", "fchars", "lchars", "panose", "falt", "pgdsc", "listpicture", "txe",
              "protusertbl", "mmath", "wgrffmtfilter", "ftncn", "aftncn", "pnseclvl"})
            all.push_back({word, WordKind::Skipped, 0});
        std::sort(all.begin(), all.end(), [](const KnownWord &a, const KnownWord &b) { return a.name < b.name; });
        return all;
    }();
    const std::string_view name = view(w);
    const auto it = std::lower_bound(words.begin(), words.end(), name,
                                     [](const KnownWord &known, std::string_view n) { return known.name < n; });
    return it != words.end() && it->name == name ? &*it : nullptr;
}

WordKind kindOf(const QByteArray &w)
{
    if (w.startsWith("clbrdr") || w.startsWith("trbrdr"))
        return WordKind::Paragraph;
    const KnownWord *known = knownWord(w);
    return known ? known->kind : WordKind::None;
}

// Symbols that stand for one character each.
QChar symbolCharacter(char c)
{
    switch (c) {
    case '\\': case '{': case '}': return QChar(static_cast<char16_t>(c));
    case '~': return QChar(0x00A0);
    case '_': return QChar(0x2011);
    default: return QChar();
    }
}
} // namespace

void Parser::controlSymbol(const Token &t)
{
    const char c = t.word.isEmpty() ? 0 : t.word[0];
    if (c == '\'') {
        if (m_ucSkip > 0) {
            --m_ucSkip;
            return;
        }
        if (t.hexValue >= 0)
            addBytes(QByteArray(1, static_cast<char>(t.hexValue)));
        m_groupStart = false;
        return;
    }
    if (c == '*') {
        m_ignorable = true;
        return;
    }
    if (m_ucSkip > 0) {
        --m_ucSkip;
        return;
    }
    if (const QChar ch = symbolCharacter(c); !ch.isNull())
        addText(QString(ch));
    else if ((c == '\r' || c == '\n') && m_st.dest != Dest::Skip)
        endParagraph();
    // \- and other symbols print nothing
}

bool Parser::destination(const QByteArray &w)
{
    const bool ignorable = std::exchange(m_ignorable, false);
    if (!m_groupStart && !ignorable)
        return false;
    Dest dest = m_st.dest;
    if (kindOf(w) == WordKind::Skipped) dest = Dest::Skip;
    else if (w == "fonttbl") dest = Dest::FontTable;
    else if (w == "colortbl") dest = Dest::ColorTable;
    else if (const std::optional<Side> side = sideOf(w)) {
        // The first of each kind is kept: later sections repeat them.
        // One in another is not printed.
        const bool header = w[0] == 'h';
        if (m_st.dest != Dest::Text || (header ? m_haveHeader : m_haveFooter)[*side]) {
            dest = Dest::Skip;
        } else {
            m_sideFor = *side;
            dest = header ? Dest::Header : Dest::Footer;
        }
    }
    else if (w == "listtable") dest = Dest::ListTable;
    else if (w == "listoverridetable") dest = Dest::ListOverrides;
    else if (w == "leveltext" && m_st.dest == Dest::ListTable) dest = Dest::LevelText;
    else if ((w == "levelnumbers" || w == "listname" || w == "lfolevel")
             && (m_st.dest == Dest::ListTable || m_st.dest == Dest::ListOverrides))
        dest = Dest::Skip;
    else if (w == "footnote") dest = m_st.dest == Dest::Text ? Dest::Footnote : Dest::Skip;
    else if (w == "pict") { dest = Dest::Picture; m_picture = Picture(); }
    else if (w == "pn") {
        // The counter goes on from paragraph to paragraph of one list.
        dest = Dest::ListDef;
        const bool continued = m_numbering.active;
        m_numbering = Numbering{true, false, continued ? m_numbering.next : 1, m_numbering.style, {}, {}, continued};
    } else if (w == "pntxtb" || w == "pntxta") {
        dest = Dest::ListLabel;
        m_labelAfter = w == "pntxta";
    }
    else if (w == "pntext" || w == "listtext") {
        m_paragraphHasListText = true;
        flushText();
        m_st.listText = true;
    }
    else if (w == "fldinst") {
        dest = Dest::FieldInstruction;
        m_fieldInstruction.clear();
    } else if (w == "fldrslt" && isPageNumberField()) {
        // A header's page number: the number of the page it is printed on.
        addText(QString(QChar(RtfReader::kPageNumber)));
        dest = Dest::Skip;
    }
    else if (w == "nesttableprops") m_st.nestedRowProperties = true;
    else if (ignorable && w != "shppict" && w != "fldrslt") dest = Dest::Skip;
    if (dest == m_st.dest)
        return false;
    flushText();
    if (dest == Dest::Footnote || dest == Dest::Header || dest == Dest::Footer) {
        // Its own flow, outside any table of the body around it.
        m_side = Flow();
        m_sideDest = dest;
        m_st.inTable = false;
        m_st.itap = 1;
    }
    m_st.dest = dest;
    return dest != Dest::Text;
}

// The pages a header or footer destination is for, if `w` names one.
std::optional<Parser::Side> Parser::sideOf(const QByteArray &w)
{
    if (!w.startsWith("header") && !w.startsWith("footer"))
        return std::nullopt;
    switch (w.size() == 6 ? 0 : w.size() == 7 ? w[6] : '?') {
    case 0: return AllPages;
    case 'l': return LeftPages;
    case 'r': return RightPages;
    case 'f': return FirstPage;
    default: return std::nullopt;
    }
}

bool Parser::isPageNumberField() const
{
    return (m_st.dest == Dest::Header || m_st.dest == Dest::Footer)
           && m_fieldInstruction.trimmed().split(' ').value(0).toUpper() == "PAGE";
}

void Parser::controlWord(const Token &t)
{
    const QByteArray &w = t.word;
    if (w == "u") {
        if (m_ucSkip > 0) {
            --m_ucSkip;
            return;
        }
        flushBytes();
        m_ignorable = false;
        const int code = t.param < 0 ? t.param + 65536 : t.param;
        if (code > 0 && code < 65536)
            addText(QString(QChar(static_cast<char16_t>(code))));
        m_ucSkip = m_st.uc;
        return;
    }
    if (destination(w) || m_st.dest == Dest::Skip)
        return;
    flushText();
    switch (m_st.dest) {
    case Dest::FontTable: fontTableWord(w, t.param); return;
    case Dest::ColorTable:
        if (w == "red") m_red = t.param;
        else if (w == "green") m_green = t.param;
        else if (w == "blue") m_blue = t.param;
        else return;
        m_colorPending = true;
        return;
    case Dest::Picture: pictureWord(w, t.param); return;
    case Dest::ListDef: case Dest::ListLabel: listDefWord(w, t.param); return;
    case Dest::ListTable:
        if (w == "list") m_lists.beginList();
        else if (w == "listlevel") m_lists.beginLevel();
        else m_lists.listWord(w, t.param);
        return;
    case Dest::LevelText: return;
    case Dest::ListOverrides: m_lists.overrideWord(w, t.param); return;
    default: break;
    }
    const WordKind kind = kindOf(w);
    if (m_ucSkip > 0) {
        --m_ucSkip;
        if (kind == WordKind::Symbol) // the symbol was the fallback skipped
            return;
    }
    switch (kind) { // every other word is skipped
    case WordKind::Character: characterWord(w, t.hasParam, t.param); break;
    case WordKind::Paragraph: paragraphWord(w, t.hasParam, t.param); break;
    case WordKind::Page: pageWord(w, t.param); break;
    case WordKind::Symbol: addText(QString(QChar(knownWord(w)->character))); break;
    case WordKind::None: case WordKind::Skipped: break;
    }
}

void Parser::fontTableWord(const QByteArray &w, int param)
{
    if (w == "f") {
        m_fontIndex = param;
        m_fontName.clear();
        m_fontCodePage = 0;
    } else if (w == "fcharset") {
        m_fontCodePage = codePageOfCharset(param);
    } else if (w == "cpg" && param > 0) {
        m_fontCodePage = param;
    }
}

void Parser::listDefWord(const QByteArray &w, int param)
{
    if (w == "pnlvlblt")
        m_numbering.bullet = true;
    else if (w == "pnlvlcont")
        m_numbering.active = false;
    else if (w == "pnstart" && !m_numbering.continued)
        m_numbering.next = param;
    else if (w == "pnf")
        m_st.font = param;
    else if (w == "pndec")
        m_numbering.style = Numbering::Decimal;
    else if (w == "pnucltr")
        m_numbering.style = Numbering::UpperLetter;
    else if (w == "pnlcltr")
        m_numbering.style = Numbering::LowerLetter;
    else if (w == "pnucrm")
        m_numbering.style = Numbering::UpperRoman;
    else if (w == "pnlcrm")
        m_numbering.style = Numbering::LowerRoman;
}

QString Numbering::numberText(int number, Style style)
{
    if (style == Decimal || number < 1 || number > 3999)
        return QString::number(number);
    if (style == UpperLetter || style == LowerLetter) {
        QString letters; // a..z, aa..zz, as word processors count on
        const QChar letter(static_cast<char16_t>(u'a' + (number - 1) % 26));
        letters.fill(letter, (number - 1) / 26 + 1);
        return style == UpperLetter ? letters.toUpper() : letters;
    }
    static const std::pair<int, const char *> numerals[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
        {100, "c"}, {90, "xc"}, {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
    QString roman;
    for (const auto &[value, text] : numerals)
        for (; number >= value; number -= value)
            roman += QLatin1String(text);
    return style == UpperRoman ? roman.toUpper() : roman;
}

} // namespace Rtf
