#include "core/render/rtftokenizer.h"

#include <limits>

namespace Rtf {

namespace {
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

Token Tokenizer::next()
{
    Token t;
    const qsizetype n = m_in.size();
    while (m_pos < n) {
        const char c = m_in[m_pos];
        if (c == '{') {
            ++m_pos;
            t.kind = Token::GroupOpen;
            return t;
        }
        if (c == '}') {
            ++m_pos;
            t.kind = Token::GroupClose;
            return t;
        }
        if (c == '\\') {
            ++m_pos;
            if (m_pos >= n)
                return t;
            readWord(t);
            return t;
        }
        // A run of plain bytes up to the next special character; line
        // ends in the file are not text.
        const qsizetype start = m_pos;
        while (m_pos < n && m_in[m_pos] != '{' && m_in[m_pos] != '}' && m_in[m_pos] != '\\'
               && m_in[m_pos] != '\r' && m_in[m_pos] != '\n')
            ++m_pos;
        if (m_pos > start) {
            t.kind = Token::Text;
            t.data = QByteArray::fromRawData(m_in.constData() + start, m_pos - start);
            return t;
        }
        ++m_pos; // a line end
    }
    return t;
}

void Tokenizer::readWord(Token &t)
{
    const qsizetype n = m_in.size();
    const char c = m_in[m_pos];
    if (!isLetter(c)) {
        ++m_pos;
        t.kind = Token::Symbol;
        t.word = QByteArray::fromRawData(m_in.constData() + m_pos - 1, 1);
        if (c == '\'') {
            const int hi = m_pos < n ? hexDigit(m_in[m_pos]) : -1;
            const int lo = m_pos + 1 < n ? hexDigit(m_in[m_pos + 1]) : -1;
            if (hi >= 0 && lo >= 0) {
                t.hexValue = hi * 16 + lo;
                m_pos += 2;
            }
        }
        return;
    }
    const qsizetype start = m_pos;
    // Control words are at most 32 letters; longer runs are cut there.
    while (m_pos < n && isLetter(m_in[m_pos]) && m_pos - start < 32)
        ++m_pos;
    t.kind = Token::Word;
    t.word = QByteArray::fromRawData(m_in.constData() + start, m_pos - start);
    const qsizetype numStart = m_pos;
    bool negative = false;
    if (m_pos < n && m_in[m_pos] == '-' && m_pos + 1 < n && isDigit(m_in[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    qint64 value = 0;
    while (m_pos < n && isDigit(m_in[m_pos])) {
        if (value < std::numeric_limits<int>::max())
            value = value * 10 + (m_in[m_pos] - '0');
        ++m_pos;
    }
    if (m_pos > numStart) {
        t.hasParam = true;
        value = std::min<qint64>(value, std::numeric_limits<int>::max());
        t.param = static_cast<int>(negative ? -value : value);
    }
    if (m_pos < n && m_in[m_pos] == ' ')
        ++m_pos;
    if (t.word == "bin") {
        // The data follows at once; a length past the end takes the rest.
        const qsizetype length = std::clamp<qsizetype>(t.param, 0, n - m_pos);
        t.kind = Token::Binary;
        t.data = QByteArray::fromRawData(m_in.constData() + m_pos, length);
        m_pos += length;
    }
}

} // namespace Rtf
