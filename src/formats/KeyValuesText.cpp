#include "formats/KeyValuesText.h"

#include <QStringDecoder>

namespace formats {

namespace {

// A token's bytes as text, every character kept: QString::fromUtf8 takes a
// leading U+FEFF for a byte-order mark and drops it from every key and value.
QString textOf(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
}

enum class TokenKind { Text, Open, Close, End, Broken };

struct Token {
    TokenKind kind = TokenKind::End;
    QByteArray text;
};

class Tokenizer {
public:
    explicit Tokenizer(const QByteArray& text)
        : text_(text)
    {
        if (text_.startsWith("\xEF\xBB\xBF"))
            at_ = 3;
    }

    Token next()
    {
        skipBlanksAndComments();
        if (at_ >= text_.size())
            return {TokenKind::End, {}};
        const char c = text_[at_];
        if (c == '{' || c == '}') {
            ++at_;
            return {c == '{' ? TokenKind::Open : TokenKind::Close, {}};
        }
        return c == '"' ? quoted() : bare();
    }

private:
    void skipBlanksAndComments()
    {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++at_;
            } else if (c == '/' && at_ + 1 < text_.size() && text_[at_ + 1] == '/') {
                while (at_ < text_.size() && text_[at_] != '\n')
                    ++at_;
            } else {
                return;
            }
        }
    }

    Token quoted()
    {
        QByteArray out;
        for (++at_; at_ < text_.size(); ++at_) {
            char c = text_[at_];
            if (c == '"') {
                ++at_;
                return {TokenKind::Text, out};
            }
            if (c == '\\' && at_ + 1 < text_.size()) {
                c = text_[++at_];
                c = c == 'n' ? '\n' : c == 't' ? '\t' : c;
            }
            out.append(c);
        }
        return {TokenKind::Broken, {}};
    }

    Token bare()
    {
        const qsizetype from = at_;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '{' || c == '}' || c == '"')
                break;
            ++at_;
        }
        return {TokenKind::Text, text_.mid(from, at_ - from)};
    }

    const QByteArray& text_;
    qsizetype at_ = 0;
};

// Reads pairs until the closing brace (inner) or the end of the text (top);
// false when the text does not end where it should.
bool readPairs(Tokenizer& tokens, QList<KeyValuesText::Node>& out, bool inner, int depth)
{
    if (depth > 64)
        return false; // nesting this deep is no file Steam wrote
    for (;;) {
        const Token key = tokens.next();
        if (key.kind == TokenKind::End)
            return !inner;
        if (key.kind == TokenKind::Close)
            return inner;
        if (key.kind != TokenKind::Text)
            return false;
        KeyValuesText::Node node;
        node.key = textOf(key.text);
        const Token value = tokens.next();
        if (value.kind == TokenKind::Text) {
            node.value = textOf(value.text);
        } else if (value.kind == TokenKind::Open) {
            node.block = true;
            if (!readPairs(tokens, node.children, true, depth + 1))
                return false;
        } else {
            return false;
        }
        out.append(std::move(node));
    }
}

} // namespace

const KeyValuesText::Node* KeyValuesText::Node::child(const QString& name) const
{
    for (const Node& n : children)
        if (n.key.compare(name, Qt::CaseInsensitive) == 0)
            return &n;
    return nullptr;
}

std::optional<QList<KeyValuesText::Node>> KeyValuesText::parse(const QByteArray& text)
{
    Tokenizer tokens(text);
    QList<Node> top;
    if (!readPairs(tokens, top, false, 0))
        return std::nullopt;
    return top;
}

} // namespace formats
