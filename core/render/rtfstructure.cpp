// Paragraphs and tables: where each finished paragraph goes.
#include "core/render/rtfparser.h"

#include <QTextDocument>

namespace Rtf {

namespace {
qreal px(int twips) { return twips / 15.0; }
} // namespace

namespace {
bool sameCharacter(const State &a, const State &b)
{
    return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline && a.strike == b.strike
           && a.smallCaps == b.smallCaps && a.font == b.font && a.halfPoints == b.halfPoints && a.color == b.color
           && a.background == b.background && a.vertical == b.vertical;
}
} // namespace

QTextCharFormat Parser::charFormat() const
{
    for (const auto &[key, format] : m_formats)
        if (sameCharacter(key.character, m_st) && key.defaultFont == m_defaultFont && key.tables == m_tableChanges)
            return format;
    std::pair<FormatKey, QTextCharFormat> made{FormatKey{m_st, m_defaultFont, m_tableChanges}, makeCharFormat()};
    if (m_formats.size() < kKeptFormats)
        m_formats.append(made);
    else
        m_formats[std::exchange(m_nextFormat, (m_nextFormat + 1) % kKeptFormats)] = made;
    return made.second;
}

QTextCharFormat Parser::makeCharFormat() const
{
    QTextCharFormat f;
    f.setFontWeight(m_st.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(m_st.italic);
    f.setFontUnderline(m_st.underline);
    f.setFontStrikeOut(m_st.strike);
    // Sizes from one point to the largest a word processor offers.
    f.setFontPointSize(m_st.halfPoints > 0 ? std::clamp(m_st.halfPoints, 2, 3276) / 2.0 : 12.0);
    if (m_st.smallCaps)
        f.setFontCapitalization(QFont::SmallCaps);
    const auto font = m_fonts.constFind(m_st.font >= 0 ? m_st.font : m_defaultFont);
    if (font != m_fonts.constEnd() && !font->name.isEmpty())
        f.setFontFamilies(QStringList{font->name});
    if (m_st.color > 0 && m_st.color < m_colors.size() && m_colors[m_st.color].isValid())
        f.setForeground(m_colors[m_st.color]);
    if (m_st.background > 0 && m_st.background < m_colors.size() && m_colors[m_st.background].isValid())
        f.setBackground(m_colors[m_st.background]);
    if (m_st.vertical > 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (m_st.vertical < 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return f;
}

QTextBlockFormat Parser::blockFormat() const
{
    QTextBlockFormat b;
    b.setAlignment(m_st.align);
    b.setLeftMargin(px(std::max(m_st.li, 0)));
    b.setRightMargin(px(std::max(m_st.ri, 0)));
    b.setTextIndent(px(m_st.fi));
    b.setTopMargin(px(std::max(m_st.sb, 0)));
    b.setBottomMargin(px(std::max(m_st.sa, 0)));
    if (m_pageBreak)
        b.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    return b;
}

// A paragraph mark: the paragraph takes the formatting in force now.
void Parser::endParagraph()
{
    flushText();
    Paragraph &paragraph = currentParagraph();
    addListLabel(paragraph);
    m_wordLength = 0;
    paragraph.format = blockFormat();
    m_pageBreak = false;
    Paragraph done = std::move(paragraph);
    paragraph = Paragraph();
    if (m_st.dest == Dest::Text || m_st.dest == Dest::Header || m_st.dest == Dest::Footer
        || m_st.dest == Dest::Footnote)
        commit(flow(), std::move(done), paragraphLevel());
}

void Parser::commit(Flow &flow, Paragraph paragraph, int level)
{
    adjustDepth(flow, level);
    if (level == 0)
        emit(flow, Item{std::move(paragraph), nullptr});
    else
        tableAt(flow, level).pending.items << Item{std::move(paragraph), nullptr};
}

// A paragraph or table done with: the body's into the document, a
// header's, footer's or footnote's into its own list.
void Parser::emit(Flow &flow, Item item)
{
    if (&flow == &m_body)
        m_writer.write(item);
    else
        sideItems(m_sideDest) << std::move(item);
}

// Opens or closes tables until `level` tables are open; a closed table
// goes into the cell that holds it, or out of the flow.
void Parser::adjustDepth(Flow &flow, int level)
{
    while (flow.tables.size() > level) {
        if (flow.tables.last().rowOpen) // a row never ended keeps its content
            endRow(flow, static_cast<int>(flow.tables.size()));
        auto table = std::make_shared<Table>(flow.tables.takeLast());
        if (table->rows.isEmpty())
            continue;
        if (flow.tables.isEmpty())
            emit(flow, Item{Paragraph(), table});
        else
            tableAt(flow, static_cast<int>(flow.tables.size())).pending.items << Item{Paragraph(), table};
    }
    while (flow.tables.size() < level)
        flow.tables.append(Table());
}

Table &Parser::tableAt(Flow &flow, int level)
{
    Table &table = flow.tables[level - 1];
    if (!table.rowOpen) {
        const RowDefinition &defined = definedRow(flow, level);
        table.rows.append(Row{{}, defined.cellx, defined.merges, defined.left, defined.borders, defined.header});
        table.rowOpen = true;
    }
    return table;
}

void Parser::endCell(Flow &flow, int level)
{
    flushText();
    m_wordLength = 0; // a word ends with its cell
    if (!flow.paragraph.isEmpty()) {
        addListLabel(flow.paragraph);
        Paragraph last = std::exchange(flow.paragraph, Paragraph());
        last.format = blockFormat();
        commit(flow, std::move(last), level);
    }
    adjustDepth(flow, level);
    Table &table = tableAt(flow, level);
    if (table.rows.last().cells.size() >= kMaxColumns) {
        // Past the widest table a word processor makes the row goes on
        // below: one cell holding the rest would be as tall as many pages,
        // which Qt draws in time that grows with their square.
        table.rowOpen = false;
        tableAt(flow, level);
    }
    table.rows.last().cells.append(table.pending);
    table.pending = Cell();
}

void Parser::endRow(Flow &flow, int level)
{
    flushText();
    adjustDepth(flow, level);
    Table &table = tableAt(flow, level);
    if (!table.pending.items.isEmpty())
        endCell(flow, level);
    Row &row = table.rows.last();
    const RowDefinition &defined = definedRow(flow, level);
    if (!defined.cellx.isEmpty()) {
        row.cellx = defined.cellx;
        row.merges = defined.merges;
    }
    row.left = defined.left;
    row.borders = defined.borders;
    row.header = defined.header;
    while (row.cells.size() < std::min<qsizetype>(row.cellx.size(), kMaxColumns))
        row.cells.append(Cell());
    if (row.cellx.size() > kMaxColumns)
        row.cellx.resize(kMaxColumns);
    table.rowOpen = false;
}

// The end of a header, footer or footnote: what it left open is closed,
// a paragraph without its mark kept where it was read.
void Parser::closeSide()
{
    if (!m_side.paragraph.isEmpty()) {
        Paragraph last = std::exchange(m_side.paragraph, Paragraph());
        const int level = static_cast<int>(m_side.tables.size());
        if (level == 0)
            emit(m_side, Item{std::move(last), nullptr});
        else
            tableAt(m_side, level).pending.items << Item{std::move(last), nullptr};
    }
    adjustDepth(m_side, 0);
    m_side = Flow();
}

} // namespace Rtf
