#pragma once

#include <QByteArray>

// Splits rich text into groups, control words and symbols, and runs of
// plain bytes. \binN data is handed over whole, so binary never reads as
// text or control words. A token's bytes are not copied: they are valid
// while the text being split is.
namespace Rtf {

struct Token {
    enum Kind { End, GroupOpen, GroupClose, Word, Symbol, Text, Binary };
    Kind kind = End;
    QByteArray word;  // the control word, or the symbol character
    bool hasParam = false;
    int param = 0;
    QByteArray data;  // plain bytes (Text) or binary data (Binary)
    int hexValue = -1; // for the \'hh symbol
};

class Tokenizer {
public:
    explicit Tokenizer(const QByteArray &in) : m_in(in) {}
    Token next();
    qsizetype position() const { return m_pos; }

private:
    void readWord(Token &t);
    const QByteArray &m_in;
    qsizetype m_pos = 0;
};

} // namespace Rtf
