// The common case of a fill in one sweep: the text is cut at its "&"s, and a
// pair of neighbouring "&"s whose text between them is a field name is a
// marker. The per-field passes give the same result as long as no marker can
// change another: no value or name holds "&" (a value could complete a
// marker), every name is used once and is not empty, no two markers share
// an "&" (the earlier field would take it), and no replacement joins the
// texts around it into a new marker. Each of these is checked; the
// rare text that fails a check is left to the passes.
#include "core/fill/markers.h"

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Markers::Detail {

namespace {
struct Marker {
    qsizetype begin = 0; // the opening "&"
    qsizetype end = 0;   // just after the marker
    int field = 0;
};

const QByteArray kAmp("amp;");

QByteArray view(const QByteArray &text, qsizetype from, qsizetype to)
{
    return QByteArray::fromRawData(text.constData() + from, to - from);
}

std::vector<qsizetype> ampersands(const QByteArray &text)
{
    std::vector<qsizetype> at;
    const char *data = text.constData();
    const char *p = data;
    const char *end = data + text.size();
    while ((p = static_cast<const char *>(std::memchr(p, '&', static_cast<size_t>(end - p)))) != nullptr)
        at.push_back(p++ - data);
    return at;
}

// The most recent marker of any field after a given one: in the text that
// field's pass sees, that marker is still there, and its last character
// ends any control word a value would otherwise extend.
class LaterFieldMarkers {
public:
    void add(int field, qsizetype outEnd)
    {
        while (!m_stack.empty() && m_stack.back().first <= field)
            m_stack.pop_back();
        m_stack.emplace_back(field, outEnd);
    }
    // Where the pass of `field` sees the last such marker end; 0 if none.
    qsizetype lastEndAfter(int field) const
    {
        // Fields fall from the bottom of the stack to its top.
        qsizetype lo = 0, hi = static_cast<qsizetype>(m_stack.size());
        while (lo < hi) {
            const qsizetype mid = (lo + hi) / 2;
            if (m_stack[mid].first > field)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo == 0 ? 0 : m_stack[lo - 1].second;
    }

private:
    std::vector<std::pair<int, qsizetype>> m_stack;
};
} // namespace

std::optional<QByteArray> fillInOneSweep(const QByteArray &text, const QString &extension,
                                         const QList<QByteArray> &names, const QList<QByteArray> &values)
{
    const bool entities = extension != QStringLiteral(".rtf");
    const bool richText = isRichText(extension);
    std::unordered_map<std::string_view, int> fields;
    QByteArray allNames; // "amp;" + name for each, between "&"s: what a joined text must not be part of
    qsizetype longestName = 0, longestValue = 0;
    for (qsizetype j = 0; j < names.size(); ++j) {
        if (names[j].isEmpty() || names[j].contains('&') || values[j].contains('&') || fields.count(std::string_view(names[j].constData(), static_cast<size_t>(names[j].size()))) != 0)
            return std::nullopt;
        fields.emplace(std::string_view(names[j].constData(), static_cast<size_t>(names[j].size())),
                       static_cast<int>(j));
        allNames += '&' + kAmp + names[j];
        longestName = std::max(longestName, names[j].size());
        longestValue = std::max(longestValue, values[j].size());
    }
    allNames += '&';

    const std::vector<qsizetype> amp = ampersands(text);
    const qsizetype pairs = static_cast<qsizetype>(amp.size()) - 1;
    auto fieldAt = [&](qsizetype from, qsizetype to) {
        if (to - from > longestName)
            return -1;
        const auto hit = fields.find(std::string_view(text.constData() + from, static_cast<size_t>(to - from)));
        return hit == fields.end() ? -1 : hit->second;
    };
    // Plain markers first: a field with one uses that form only.
    std::vector<int> plain(static_cast<size_t>(std::max<qsizetype>(pairs, 0)), -1);
    std::vector<bool> hasPlain(static_cast<size_t>(names.size()), false);
    for (qsizetype i = 0; i < pairs; ++i)
        if ((plain[i] = fieldAt(amp[i] + 1, amp[i + 1])) >= 0)
            hasPlain[plain[i]] = true;

    std::vector<Marker> found;
    std::vector<qsizetype> pairOf;
    for (qsizetype i = 0; i < pairs; ++i) {
        int entity = -1;
        if (entities && view(text, amp[i] + 1, amp[i + 1]).startsWith(kAmp)
            && view(text, amp[i + 1] + 1, text.size()).startsWith(kAmp)) {
            entity = fieldAt(amp[i] + 1 + kAmp.size(), amp[i + 1]);
            if (entity >= 0 && hasPlain[entity])
                entity = -1;
        }
        if (plain[i] < 0 && entity < 0)
            continue;
        if (plain[i] >= 0 && entity >= 0)
            return std::nullopt; // one pair, two fields' markers
        if (!pairOf.empty() && pairOf.back() == i - 1)
            return std::nullopt; // shares its first "&" with the marker before
        const bool isEntity = entity >= 0;
        found.push_back({amp[i], amp[i + 1] + 1 + (isEntity ? kAmp.size() : 0), isEntity ? entity : plain[i]});
        pairOf.push_back(i);
    }

    // A replacement joins the texts up to the "&"s on either side; were the
    // joined text part of a name, a later pass could find a marker there.
    for (size_t k = 0; k < found.size(); ++k) {
        const qsizetype i = pairOf[k];
        if (i == 0 || i + 2 >= static_cast<qsizetype>(amp.size()))
            continue;
        const QByteArray before = view(text, amp[i - 1] + 1, amp[i]);
        const QByteArray after = view(text, found[k].end, amp[i + 2]);
        const QByteArray &value = values[found[k].field];
        if (before.size() + value.size() + after.size() > longestName + kAmp.size())
            continue;
        if (allNames.contains(before + value + after) || allNames.contains(before + ' ' + value + after))
            return std::nullopt;
    }

    QByteArray out;
    out.reserve(text.size() + static_cast<qsizetype>(found.size()) * (longestValue + 1));
    LaterFieldMarkers later;
    qsizetype from = 0;
    for (const Marker &m : found) {
        out.append(text.constData() + from, m.begin - from);
        const qsizetype seenFrom = later.lastEndAfter(m.field);
        if (needsBlank(out.constData() + seenFrom, out.constData() + out.size(), richText))
            out += ' ';
        out += values[m.field];
        later.add(m.field, out.size());
        from = m.end;
    }
    out.append(text.constData() + from, text.size() - from);
    return out;
}

} // namespace Markers::Detail
