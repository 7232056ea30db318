#include "core/render/rtfreader.h"

#include "platform/codepage.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QSet>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace RtfReader {

namespace {
enum class Dest { Text, Skip, FontTable, ColorTable };

struct State {
    Dest dest = Dest::Text;
    // character
    bool bold = false, italic = false, underline = false, strike = false;
    int font = -1, halfPoints = 24, color = 0, vertical = 0;
    int uc = 1;
    // paragraph
    Qt::Alignment align = Qt::AlignLeft;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    bool inTable = false;
};

// Destinations whose content is never printed.
const QSet<QByteArray> &skippedDestinations()
{
    static const QSet<QByteArray> names = {
        "stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf", "footer",
        "footerl", "footerr", "footerf", "listtable", "listoverridetable", "rsidtbl", "generator",
        "xmlnstbl", "themedata", "colorschememapping", "datastore", "latentstyles", "pgdsctbl",
        "fldinst", "bkmkstart", "bkmkend", "shp", "shpinst", "nonshppict", "footnote", "annotation",
        "atnid", "atnauthor", "filetbl", "revtbl", "docvar", "userprops", "title", "author",
        "operator", "comment", "subject", "keywords", "doccomm", "template", "pn", "pntext", "ftnsep",
        "ftnsepc", "aftnsep", "aftnsepc", "mmathPr", "xe", "tc", "background"};
    return names;
}

class Parser {
public:
    Parser(const QByteArray &in, QTextDocument *doc) : m_in(in), m_doc(doc), m_cursor(doc) {}

    void run()
    {
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            if (c == '{') {
                flush();
                m_stack.append(m_st);
                m_groupStart = true;
                continue;
            }
            if (c == '}') {
                flush();
                endGroup();
                continue;
            }
            if (c == '\\') {
                controlSequence();
                m_groupStart = false;
                continue;
            }
            m_groupStart = false;
            if (c == '\r' || c == '\n')
                continue;
            addByte(static_cast<unsigned char>(c));
        }
        flush();
        m_cursor.setBlockFormat(blockFormat());
    }

private:
    void endGroup()
    {
        if (m_st.dest == Dest::ColorTable && m_colorPending)
            finishColor();
        if (!m_stack.isEmpty())
            m_st = m_stack.takeLast();
        m_ucSkip = 0;
    }

    void addByte(unsigned char b)
    {
        addText(b < 0x80 ? QString(QChar(static_cast<char16_t>(b))) : Platform::decodeWindows1252(QByteArray(1, static_cast<char>(b))));
    }

    void addText(const QString &s)
    {
        if (m_ucSkip > 0) {
            --m_ucSkip;
            return;
        }
        switch (m_st.dest) {
        case Dest::Skip: return;
        case Dest::FontTable:
            if (s == QStringLiteral(";")) {
                m_fonts.insert(m_fontIndex, m_fontName.trimmed());
                m_fontName.clear();
            } else {
                m_fontName += s;
            }
            return;
        case Dest::ColorTable:
            if (s == QStringLiteral(";"))
                finishColor();
            return;
        case Dest::Text: m_text += s; return;
        }
    }

    void finishColor()
    {
        m_colors.append(m_colorPending ? QColor(m_red, m_green, m_blue) : QColor());
        m_red = m_green = m_blue = 0;
        m_colorPending = false;
    }

    void flush()
    {
        if (m_text.isEmpty())
            return;
        enterParagraph();
        m_cursor.insertText(m_text, charFormat());
        m_text.clear();
    }

    QTextCharFormat charFormat() const
    {
        QTextCharFormat f;
        f.setFontWeight(m_st.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(m_st.italic);
        f.setFontUnderline(m_st.underline);
        f.setFontStrikeOut(m_st.strike);
        f.setFontPointSize(m_st.halfPoints > 0 ? m_st.halfPoints / 2.0 : 12.0);
        const int font = m_st.font >= 0 ? m_st.font : m_defaultFont;
        if (m_fonts.contains(font) && !m_fonts[font].isEmpty())
            f.setFontFamilies(QStringList{m_fonts[font]});
        if (m_st.color > 0 && m_st.color < m_colors.size() && m_colors[m_st.color].isValid())
            f.setForeground(m_colors[m_st.color]);
        if (m_st.vertical > 0)
            f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (m_st.vertical < 0)
            f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        return f;
    }

    static qreal px(int twips) { return twips / 15.0; } // document units are 96 per inch

    QTextBlockFormat blockFormat()
    {
        QTextBlockFormat b;
        b.setAlignment(m_st.align);
        b.setLeftMargin(px(m_st.li));
        b.setRightMargin(px(m_st.ri));
        b.setTextIndent(px(m_st.fi));
        b.setTopMargin(px(m_st.sb));
        b.setBottomMargin(px(m_st.sa));
        if (m_pageBreak)
            b.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        return b;
    }

    // Puts the cursor where the coming paragraph content belongs: in the
    // current table cell, or after the table once a paragraph leaves it.
    void enterParagraph()
    {
        if (m_st.inTable) {
            if (!m_table) {
                m_cursor.setBlockFormat(blockFormat());
                m_table = m_cursor.insertTable(1, std::max<qsizetype>(1, m_cellX.size()));
                m_row = m_col = 0;
                m_rowEnded = false;
            } else if (m_rowEnded) {
                m_table->appendRows(1);
                ++m_row;
                m_col = 0;
                m_rowEnded = false;
            }
            if (m_col >= m_table->columns())
                m_table->appendColumns(m_col - m_table->columns() + 1);
            if (m_cursor.currentTable() != m_table || m_table->cellAt(m_cursor).row() != m_row
                || m_table->cellAt(m_cursor).column() != m_col)
                m_cursor = m_table->cellAt(m_row, m_col).lastCursorPosition();
        } else if (m_table) {
            m_cursor.movePosition(QTextCursor::End);
            m_table = nullptr;
        }
    }

    void paragraphEnd()
    {
        flush();
        enterParagraph();
        m_cursor.setBlockFormat(blockFormat());
        m_pageBreak = false;
        m_cursor.insertBlock();
    }

    void controlSequence()
    {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_in.size() && ((m_in[m_pos] >= 'a' && m_in[m_pos] <= 'z') || (m_in[m_pos] >= 'A' && m_in[m_pos] <= 'Z')))
            ++m_pos;
        const QByteArray word = m_in.mid(start, m_pos - start);
        bool hasParam = false;
        int param = 0;
        const qsizetype numStart = m_pos;
        if (m_pos < m_in.size() && m_in[m_pos] == '-')
            ++m_pos;
        while (m_pos < m_in.size() && m_in[m_pos] >= '0' && m_in[m_pos] <= '9')
            ++m_pos;
        if (m_pos > numStart && !(m_pos == numStart + 1 && m_in[numStart] == '-')) {
            hasParam = true;
            param = m_in.mid(numStart, m_pos - numStart).left(10).toInt();
        } else {
            m_pos = numStart;
        }
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos;
        controlWord(word, hasParam, param);
    }

    void controlSymbol(char c)
    {
        switch (c) {
        case '\\': case '{': case '}': addText(QString(QChar(static_cast<char16_t>(c)))); break;
        case '~': addText(QString(QChar(0x00A0))); break;
        case '_': addText(QString(QChar(0x2011))); break;
        case '\'': {
            const bool ok = m_pos + 2 <= m_in.size();
            const int v = ok ? m_in.mid(m_pos, 2).toInt(nullptr, 16) : 0;
            m_pos = std::min(m_pos + 2, m_in.size());
            if (m_ucSkip > 0) {
                --m_ucSkip;
                break;
            }
            if (v > 0)
                addText(Platform::decodeWindows1252(QByteArray(1, static_cast<char>(v))));
            break;
        }
        case '*':
            // An ignorable destination: skipped unless we know it, and we
            // know none that starts this way.
            flush();
            m_st.dest = Dest::Skip;
            break;
        case '\r': case '\n': paragraphEnd(); break;
        default: break; // \- and other symbols print nothing
        }
    }

    void controlWord(const QByteArray &w, bool hasParam, int param)
    {
        const int on = hasParam ? param : 1;
        if (w != "u")
            flush();
        if (m_groupStart && skippedDestinations().contains(w)) {
            m_st.dest = Dest::Skip;
            return;
        }
        if (m_st.dest == Dest::Skip)
            return;
        if (w == "fonttbl") { m_st.dest = Dest::FontTable; return; }
        if (w == "colortbl") { m_st.dest = Dest::ColorTable; return; }
        if (m_st.dest == Dest::FontTable) {
            if (w == "f")
                m_fontIndex = param;
            return;
        }
        if (m_st.dest == Dest::ColorTable) {
            if (w == "red") { m_red = param; m_colorPending = true; }
            else if (w == "green") { m_green = param; m_colorPending = true; }
            else if (w == "blue") { m_blue = param; m_colorPending = true; }
            return;
        }
        if (w == "u") {
            if (m_ucSkip > 0) {
                --m_ucSkip;
                return;
            }
            const char16_t code = static_cast<char16_t>(param < 0 ? param + 65536 : param);
            m_text += QChar(code);
            m_ucSkip = m_st.uc;
            return;
        }
        m_ucSkip = 0;
        if (w == "par" || w == "sect") paragraphEnd();
        else if (w == "line") addText(QString(QChar(0x2028)));
        else if (w == "tab") addText(QStringLiteral("\t"));
        else if (w == "page") { paragraphEnd(); m_pageBreak = true; }
        else if (w == "emdash") addText(QString(QChar(0x2014)));
        else if (w == "endash") addText(QString(QChar(0x2013)));
        else if (w == "bullet") addText(QString(QChar(0x2022)));
        else if (w == "lquote") addText(QString(QChar(0x2018)));
        else if (w == "rquote") addText(QString(QChar(0x2019)));
        else if (w == "ldblquote") addText(QString(QChar(0x201C)));
        else if (w == "rdblquote") addText(QString(QChar(0x201D)));
        else if (w == "b") m_st.bold = on != 0;
        else if (w == "i") m_st.italic = on != 0;
        else if (w == "ul") m_st.underline = on != 0;
        else if (w == "ulnone") m_st.underline = false;
        else if (w == "strike") m_st.strike = on != 0;
        else if (w == "fs") m_st.halfPoints = param;
        else if (w == "f") m_st.font = param;
        else if (w == "deff") m_defaultFont = param;
        else if (w == "cf") m_st.color = param;
        else if (w == "super") m_st.vertical = 1;
        else if (w == "sub") m_st.vertical = -1;
        else if (w == "nosupersub") m_st.vertical = 0;
        else if (w == "uc") m_st.uc = std::max(0, param);
        else if (w == "plain") {
            const State keep = m_st;
            m_st = State();
            m_st.dest = keep.dest;
            m_st.uc = keep.uc;
            m_st.align = keep.align;
            m_st.li = keep.li; m_st.ri = keep.ri; m_st.fi = keep.fi; m_st.sb = keep.sb; m_st.sa = keep.sa;
            m_st.inTable = keep.inTable;
        } else if (w == "pard") {
            m_st.align = Qt::AlignLeft;
            m_st.li = m_st.ri = m_st.fi = m_st.sb = m_st.sa = 0;
            m_st.inTable = false;
        }
        else if (w == "ql") m_st.align = Qt::AlignLeft;
        else if (w == "qc") m_st.align = Qt::AlignHCenter;
        else if (w == "qr") m_st.align = Qt::AlignRight;
        else if (w == "qj") m_st.align = Qt::AlignJustify;
        else if (w == "li") m_st.li = param;
        else if (w == "ri") m_st.ri = param;
        else if (w == "fi") m_st.fi = param;
        else if (w == "sb") m_st.sb = param;
        else if (w == "sa") m_st.sa = param;
        else if (w == "trowd") m_cellX.clear();
        else if (w == "cellx") m_cellX.append(param);
        else if (w == "intbl") m_st.inTable = true;
        else if (w == "cell") {
            if (!m_table)
                enterParagraph();
            ++m_col;
        } else if (w == "row") {
            m_rowEnded = true;
        }
        // Every other word is skipped.
    }

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    QTextDocument *m_doc;
    QTextCursor m_cursor;
    State m_st;
    QList<State> m_stack;
    bool m_groupStart = false;
    QString m_text;
    int m_ucSkip = 0;

    QHash<int, QString> m_fonts;
    int m_fontIndex = 0;
    int m_defaultFont = 0;
    QString m_fontName;
    QList<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorPending = false;
    bool m_pageBreak = false;

    QTextTable *m_table = nullptr;
    QList<int> m_cellX;
    int m_row = 0, m_col = 0;
    bool m_rowEnded = false;
};
} // namespace

bool looksLikeRtf(const QByteArray &text) { return text.trimmed().startsWith("{\\rtf"); }

void read(const QByteArray &rtf, QTextDocument *document)
{
    document->clear();
    Parser(rtf, document).run();
}

std::unique_ptr<QTextDocument> toDocument(const QByteArray &text)
{
    auto doc = std::make_unique<QTextDocument>();
    if (looksLikeRtf(text))
        read(text, doc.get());
    else
        doc->setPlainText(Platform::decodeText(text));
    return doc;
}

} // namespace RtfReader
