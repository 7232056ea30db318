// Character, paragraph, table and page control words.
#include "core/render/rtfparser.h"

namespace Rtf {

bool Parser::characterWord(const QByteArray &w, bool hasParam, int param)
{
    const bool on = !hasParam || param != 0;
    if (w == "b") m_st.bold = on;
    else if (w == "i") m_st.italic = on;
    else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulth") m_st.underline = on;
    else if (w == "ulnone") m_st.underline = false;
    else if (w == "strike" || w == "striked") m_st.strike = on;
    else if (w == "v") m_st.hidden = on;
    else if (w == "scaps") m_st.smallCaps = on;
    else if (w == "caps") m_st.allCaps = on;
    else if (w == "fs") m_st.halfPoints = param;
    else if (w == "f") m_st.font = param;
    else if (w == "cf") m_st.color = param;
    else if (w == "cb" || w == "highlight" || w == "chcbpat") m_st.background = param;
    else if (w == "super") m_st.vertical = 1;
    else if (w == "sub") m_st.vertical = -1;
    else if (w == "up") m_st.vertical = on ? 1 : 0;
    else if (w == "dn") m_st.vertical = on ? -1 : 0;
    else if (w == "nosupersub") m_st.vertical = 0;
    else if (w == "uc") m_st.uc = std::clamp(param, 0, 10);
    else if (w == "deff") m_defaultFont = param;
    else if (w == "ansicpg" && param > 0) m_docCodePage = param;
    else if (w == "mac") m_docCodePage = 10000;
    else if (w == "pc") m_docCodePage = 437;
    else if (w == "pca") m_docCodePage = 850;
    else if (w == "chpgn") {
        if (m_st.dest == Dest::Header || m_st.dest == Dest::Footer)
            addText(QString(QChar(RtfReader::kPageNumber)));
    } else if (w == "chftn") {
        if (m_st.dest == Dest::Text)
            ++m_footnoteNumber;
        addText(QString::number(std::max(m_footnoteNumber, 1)));
    } else if (w == "plain") {
        State fresh;
        fresh.dest = m_st.dest;
        fresh.uc = m_st.uc;
        fresh.align = m_st.align;
        fresh.li = m_st.li, fresh.ri = m_st.ri, fresh.fi = m_st.fi, fresh.sb = m_st.sb, fresh.sa = m_st.sa;
        fresh.inTable = m_st.inTable;
        fresh.itap = m_st.itap;
        fresh.listText = m_st.listText;
        m_st = fresh;
    } else {
        return false;
    }
    return true;
}

bool Parser::paragraphWord(const QByteArray &w, bool hasParam, int param)
{
    if (w == "par") endParagraph();
    else if (w == "sect") { endParagraph(); ++m_sections; }
    else if (w == "page") { endParagraph(); m_pageBreak = true; }
    else if (w == "pagebb") m_pageBreak = true;
    else if (w == "pard") {
        m_st.align = Qt::AlignLeft;
        m_st.li = m_st.ri = m_st.fi = m_st.sb = m_st.sa = 0;
        m_st.inTable = false;
        m_st.itap = 1;
        m_st.list = m_st.listLevel = 0;
        m_numbering.active = false;
    }
    else if (w == "ql") m_st.align = Qt::AlignLeft;
    else if (w == "qc") m_st.align = Qt::AlignHCenter;
    else if (w == "qr") m_st.align = Qt::AlignRight;
    else if (w == "qj" || w == "qd") m_st.align = Qt::AlignJustify;
    else if (w == "li" || w == "lin") m_st.li = param;
    else if (w == "ri" || w == "rin") m_st.ri = param;
    else if (w == "fi") m_st.fi = param;
    else if (w == "sb") m_st.sb = param;
    else if (w == "sa") m_st.sa = param;
    else if (w == "intbl") m_st.inTable = true;
    else if (w == "itap") { m_st.itap = hasParam ? param : 1; m_st.inTable = m_st.itap > 0; }
    else if (w == "trowd") definedRow() = RowDefinition();
    else if (w == "cellx") {
        RowDefinition &row = definedRow();
        if (row.cellx.size() < kMaxColumns) {
            row.cellx.append(param);
            row.merges.append(row.merge);
        }
        row.merge = 0;
    }
    else if (w == "clmgf") definedRow().merge |= MergeFirst;
    else if (w == "clmrg") definedRow().merge |= MergeNext;
    else if (w == "clvmgf") definedRow().merge |= MergeTop;
    else if (w == "clvmrg") definedRow().merge |= MergeBelow;
    else if (w == "trleft") definedRow().left = param;
    else if (w == "trhdr") definedRow().header = !hasParam || param != 0;
    else if (w == "ls") m_st.list = param;
    else if (w == "ilvl") m_st.listLevel = param;
    else if (w.startsWith("clbrdr") || w.startsWith("trbrdr")) definedRow().borders = true;
    else if (w == "cell") endCell(flow(), 1);
    else if (w == "nestcell") endCell(flow(), std::clamp(m_st.itap, 2, kMaxNesting));
    else if (w == "row") endRow(flow(), 1);
    else if (w == "nestrow") endRow(flow(), std::clamp(m_st.itap, 2, kMaxNesting));
    else return false;
    return true;
}

bool Parser::pageWord(const QByteArray &w, int param)
{
    // Section settings count for the first section: one page set-up per print.
    const bool firstSection = m_sections == 0;
    const qreal pt = param / 20.0;
    if (w == "paperw" || (firstSection && w == "pgwsxn")) m_page.paper.setWidth(pt);
    else if (w == "paperh" || (firstSection && w == "pghsxn")) m_page.paper.setHeight(pt);
    else if (w == "margl" || (firstSection && w == "marglsxn")) m_page.margins.setLeft(pt);
    else if (w == "margr" || (firstSection && w == "margrsxn")) m_page.margins.setRight(pt);
    else if (w == "margt" || (firstSection && w == "margtsxn")) m_page.margins.setTop(pt);
    else if (w == "margb" || (firstSection && w == "margbsxn")) m_page.margins.setBottom(pt);
    else if (w == "landscape" || (firstSection && w == "lndscpsxn")) m_page.landscape = true;
    else if (w == "titlepg" && firstSection) m_titlePage = true;
    else if (w == "facingp") m_facingPages = true;
    else if (w == "headery") m_page.headerFromTop = pt;
    else if (w == "footery") m_page.footerFromBottom = pt;
    else return false;
    return true;
}

} // namespace Rtf
