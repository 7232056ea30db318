// Labels of list paragraphs that the writer left to the reader to make.
#include "core/render/rtfparser.h"

namespace Rtf {

namespace {
// \levelnfc: how a level writes its numbers.
QString levelNumber(int number, int format)
{
    switch (format) {
    case 1: return Numbering::numberText(number, Numbering::UpperRoman);
    case 2: return Numbering::numberText(number, Numbering::LowerRoman);
    case 3: return Numbering::numberText(number, Numbering::UpperLetter);
    case 4: return Numbering::numberText(number, Numbering::LowerLetter);
    case 22: return QString::number(number).rightJustified(2, QLatin1Char('0')); // 01, 02
    case 23: case 255: return QString(); // a bullet or no number
    default: return QString::number(number);
    }
}

// Symbol fonts keep their bullets in the private area; printed as bullets.
QString withBullets(QString text)
{
    for (QChar &c : text)
        if (c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF)
            c = QChar(0x2022);
    return text;
}
} // namespace

// A label is put in front only where the writer gave none (\listtext or
// \pntext), so that none prints twice; \ls lists go before old \pn ones.
void Parser::addListLabel(Paragraph &paragraph)
{
    if (std::exchange(m_paragraphHasListText, false) || m_st.dest != Dest::Text)
        return;
    std::optional<QString> label;
    if (m_st.list > 0)
        label = m_lists.label(m_st.list, m_st.listLevel);
    if (!label && m_numbering.active)
        label = m_numbering.bullet ? (m_numbering.before.isEmpty() ? QStringLiteral("\u2022") : m_numbering.before)
                                       + QLatin1Char('\t')
                                   : m_numbering.before + m_numbering.label(m_numbering.next++) + m_numbering.after
                                         + QLatin1Char('\t');
    if (label && !label->isEmpty())
        paragraph.runs.prepend(Run{*label, charFormat(), {}, {}});
}

void Lists::beginList()
{
    if (m_lists.size() < kMaxLists)
        m_lists.append(List());
}

void Lists::beginLevel()
{
    if (!m_lists.isEmpty() && m_lists.last().levels.size() < kLevels)
        m_lists.last().levels.append(Level());
}

Lists::Level *Lists::level()
{
    return m_lists.isEmpty() || m_lists.last().levels.isEmpty() ? nullptr : &m_lists.last().levels.last();
}

void Lists::listWord(const QByteArray &w, int param)
{
    if (w == "listid" && !m_lists.isEmpty() && !m_byId.contains(param))
        m_byId.insert(param, static_cast<int>(m_lists.size()) - 1);
    Level *l = level();
    if (!l)
        return;
    if (w == "levelnfc" || w == "levelnfcn")
        l->format = param;
    else if (w == "levelstartat")
        l->start = param;
    else if (w == "levelfollow")
        l->follow = param;
}

void Lists::addLevelText(const QString &text)
{
    if (Level *l = level(); l && l->text.size() < 256)
        l->text += text;
}

void Lists::overrideWord(const QByteArray &w, int param)
{
    if (w == "listid")
        m_overrideId = param;
    else if (w == "ls" && m_overrides.size() < kMaxLists)
        m_overrides.insert(param, m_overrideId);
}

std::optional<QString> Lists::label(int list, int level)
{
    const auto id = m_overrides.constFind(list);
    if (id == m_overrides.constEnd())
        return std::nullopt;
    const auto found = m_byId.constFind(*id);
    if (found == m_byId.constEnd() || m_lists[*found].levels.isEmpty())
        return std::nullopt;
    const QList<Level> &levels = m_lists[*found].levels;
    level = std::clamp(level, 0, static_cast<int>(levels.size()) - 1);
    // Counted per \ls; a level starts again under each new item above it.
    Counters &counters = m_counters[list];
    counters.value[level] = counters.started[level] ? counters.value[level] + 1 : levels[level].start;
    counters.started[level] = true;
    for (int below = level + 1; below < kLevels; ++below)
        counters.started[below] = false;

    // \leveltext: its length, then text in which characters below 9 stand
    // for the numbers of those levels; a terminating ';' follows.
    const QString &text = levels[level].text;
    const int length = text.isEmpty() ? 0 : std::min<int>(text[0].unicode(), static_cast<int>(text.size()) - 1);
    QString label;
    for (const QChar c : QStringView(text).mid(1, length)) {
        const int of = c.unicode();
        if (of >= kLevels) {
            label += c;
            continue;
        }
        if (of >= levels.size())
            continue;
        const int number = of <= level && counters.started[of] ? counters.value[of] : levels[of].start;
        label += levelNumber(number, levels[of].format);
    }
    const int follow = levels[level].follow;
    return withBullets(label) + (follow == 0 ? QStringLiteral("\t") : follow == 1 ? QStringLiteral(" ") : QString());
}

} // namespace Rtf
