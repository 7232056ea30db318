#include "core/render/rtfparser.h"

#include <QTextDocument>

namespace Rtf {

Parser::Parser(const QByteArray &in)
    : m_tokens(in), m_document(std::make_unique<QTextDocument>()), m_writer(m_document.get())
{
    // Words longer than a line break anywhere rather than run off the page.
    QTextOption option = m_document->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_document->setDefaultTextOption(option);
    m_document->setUndoRedoEnabled(false); // nobody undoes a print, and each step would be kept
    m_page.margins = QMarginsF(90, 72, 90, 72); // the defaults of rich text
}

RtfReader::Document Parser::run()
{
    for (Token t = m_tokens.next(); t.kind != Token::End; t = m_tokens.next()) {
        if (t.kind == Token::Text) {
            addBytes(t.data);
            m_groupStart = false;
            continue;
        }
        if (t.kind == Token::Symbol && t.hexValue >= 0) {
            controlSymbol(t);
            continue;
        }
        flushBytes();
        switch (t.kind) {
        case Token::GroupOpen: groupOpen(); break;
        case Token::GroupClose: groupClose(); break;
        case Token::Word: controlWord(t); m_groupStart = false; break;
        case Token::Symbol: controlSymbol(t); m_groupStart = false; break;
        case Token::Binary:
            if (m_st.dest == Dest::Picture)
                m_picture.binary += t.data;
            if (m_ucSkip > 0)
                --m_ucSkip;
            m_groupStart = false;
            break;
        default: break;
        }
    }
    flushBytes();
    while (!m_stack.isEmpty()) // an unbalanced file still ends its destinations
        groupClose();
    flushText();
    if (!m_body.paragraph.isEmpty()) {
        m_body.paragraph.format = blockFormat();
        commit(m_body, std::exchange(m_body.paragraph, Paragraph()), paragraphLevel());
    }
    adjustDepth(m_body, 0);
    if (!m_footnotes.isEmpty()) {
        Paragraph rule;
        rule.runs << Run{QStringLiteral("\u2014\u2014\u2014\u2014\u2014\u2014"), QTextCharFormat(), {}, {}};
        m_writer.write(Item{rule, nullptr});
        for (const Item &note : std::as_const(m_footnotes))
            m_writer.write(note);
    }
    auto sideDocument = [this](const QList<Item> &items) -> std::unique_ptr<QTextDocument> {
        if (items.isEmpty())
            return nullptr;
        auto doc = std::make_unique<QTextDocument>();
        doc->setUndoRedoEnabled(false);
        doc->setDefaultTextOption(m_document->defaultTextOption());
        Writer writer(doc.get());
        for (const Item &item : items)
            writer.write(item);
        writer.finish();
        return doc;
    };
    m_writer.finish();
    RtfReader::Document result;
    // A side of its own for the pages, else the one for all pages.
    auto side = [&](const std::array<QList<Item>, kSides> &sides, const std::array<bool, kSides> &have, Side own) {
        return sideDocument(have[own] ? sides[own] : sides[AllPages]);
    };
    result.header = side(m_headers, m_haveHeader, RightPages);
    result.footer = side(m_footers, m_haveFooter, RightPages);
    result.facingPages = m_facingPages;
    if (m_facingPages) {
        result.leftHeader = side(m_headers, m_haveHeader, LeftPages);
        result.leftFooter = side(m_footers, m_haveFooter, LeftPages);
    }
    result.titlePage = m_titlePage;
    result.firstHeader = sideDocument(m_headers[FirstPage]);
    result.firstFooter = sideDocument(m_footers[FirstPage]);
    result.body = std::move(m_document);
    result.page = m_page;
    result.truncated = m_truncated;
    result.paragraphsOnly = true;
    return result;
}

void Parser::groupOpen()
{
    flushText();
    if (m_stack.size() >= kMaxGroupDepth)
        ++m_overflow;
    else
        m_stack.append(m_st);
    m_groupStart = true;
    m_ignorable = false;
}

void Parser::groupClose()
{
    flushText();
    m_groupStart = false;
    m_ignorable = false;
    m_ucSkip = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.isEmpty())
        return;
    const Dest closing = m_st.dest;
    m_st = m_stack.takeLast();
    if (closing != m_st.dest)
        finishDestination(closing);
}

void Parser::finishDestination(Dest dest)
{
    switch (dest) {
    case Dest::ColorTable:
        if (m_colorPending)
            m_colors.append(QColor(m_red, m_green, m_blue)), ++m_tableChanges;
        m_colorPending = false;
        break;
    case Dest::FontTable:
        if (!m_fontName.isEmpty())
            m_fonts.insert(m_fontIndex, Font{m_codePages.decode(m_fontName, m_fontCodePage ? m_fontCodePage : m_docCodePage).trimmed(), m_fontCodePage}), ++m_tableChanges;
        m_fontName.clear();
        break;
    case Dest::Header:
    case Dest::Footer:
    case Dest::Footnote:
        closeSide();
        if (dest == Dest::Header)
            m_haveHeader[m_sideFor] = true;
        if (dest == Dest::Footer)
            m_haveFooter[m_sideFor] = true;
        break;
    case Dest::Picture: finishPicture(); break;
    default: break;
    }
}

QList<Item> &Parser::sideItems(Dest dest)
{
    if (dest == Dest::Header)
        return m_headers[m_sideFor];
    if (dest == Dest::Footer)
        return m_footers[m_sideFor];
    return m_footnotes;
}

void Parser::addBytes(const QByteArray &bytes)
{
    qsizetype from = 0;
    if (m_ucSkip > 0) {
        from = std::min<qsizetype>(m_ucSkip, bytes.size());
        m_ucSkip -= static_cast<int>(from);
    }
    switch (m_st.dest) {
    case Dest::Text: case Dest::Header: case Dest::Footer: case Dest::Footnote:
        if (!m_st.hidden)
            m_bytes += bytes.mid(from);
        return;
    case Dest::FontTable: {
        const QByteArray rest = bytes.mid(from);
        const qsizetype semicolon = rest.indexOf(';');
        m_fontName += semicolon < 0 ? rest : rest.left(semicolon);
        if (semicolon >= 0)
            finishDestination(Dest::FontTable);
        return;
    }
    case Dest::ColorTable:
        for (qsizetype i = from; i < bytes.size(); ++i)
            if (bytes[i] == ';') {
                m_colors.append(m_colorPending ? QColor(m_red, m_green, m_blue) : QColor());
                ++m_tableChanges;
                m_red = m_green = m_blue = 0;
                m_colorPending = false;
            }
        return;
    case Dest::Picture: m_picture.hex += bytes.mid(from); return;
    case Dest::ListLabel: case Dest::LevelText: m_bytes += bytes.mid(from); return;
    case Dest::FieldInstruction: m_fieldInstruction += bytes.mid(from); return;
    default: return;
    }
}

void Parser::addText(const QString &text)
{
    flushBytes();
    if (m_st.dest == Dest::Text || m_st.dest == Dest::Header || m_st.dest == Dest::Footer
        || m_st.dest == Dest::Footnote || m_st.dest == Dest::ListLabel || m_st.dest == Dest::LevelText) {
        if (!m_st.hidden)
            m_text += text;
    } else if (m_st.dest == Dest::FontTable) {
        m_fontName += text.toUtf8();
    }
}

void Parser::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    // Decoded together, so that double-byte characters given as two \'hh
    // stay one character.
    m_text += m_codePages.decode(m_bytes, codePage());
    m_bytes.clear();
}

int Parser::codePage() const
{
    const auto font = m_fonts.constFind(m_st.font >= 0 ? m_st.font : m_defaultFont);
    if (font != m_fonts.constEnd() && font->codePage != 0)
        return font->codePage;
    return m_docCodePage;
}

void Parser::flushText()
{
    flushBytes();
    if (m_text.isEmpty())
        return;
    if (m_st.dest == Dest::ListLabel) {
        (m_labelAfter ? m_numbering.after : m_numbering.before) += m_text;
        m_text.clear();
        return;
    }
    if (m_st.dest == Dest::LevelText) {
        m_lists.addLevelText(std::exchange(m_text, QString()));
        return;
    }
    if (m_st.allCaps)
        m_text = m_text.toUpper();
    if (m_st.listText) // symbol fonts' private-area bullets
        for (QChar &c : m_text)
            if (c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF)
                c = QChar(0x2022);
    if (m_characters + m_text.size() > kMaxCharacters) {
        m_truncated = true;
        m_text.truncate(std::max<qsizetype>(0, kMaxCharacters - m_characters));
    }
    m_characters += m_text.size();
    currentParagraph().runs << Run{breakLongWords(m_text), charFormat(), {}, {}};
    m_text.clear();
}

// Lays out a word far wider than any page in linear time: a zero-width
// space every so many letters lets the line breaker break it there.
QString Parser::breakLongWords(const QString &text)
{
    constexpr int kLongest = 100;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        m_wordLength = c.isSpace() || c == QChar(0x200B) ? 0 : m_wordLength + 1;
        if (m_wordLength > kLongest && !c.isLowSurrogate()) {
            if (out.isEmpty())
                out = text.left(i);
            out += QChar(0x200B);
            m_wordLength = 1;
        }
        if (!out.isEmpty())
            out += c;
    }
    return out.isEmpty() ? text : out;
}

} // namespace Rtf
