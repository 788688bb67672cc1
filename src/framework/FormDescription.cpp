#include "framework/FormDescription.h"

#include "framework/FormLoadError.h"

#include <limits>

namespace {

struct Token {
    enum class Type { Identifier, String, Integer, Float, Symbol, End };
    Type type = Type::End;
    QString text;
    qlonglong integer = 0;
    double number = 0;
    int line = 0;
};

bool isIdentStart(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

bool isIdentPart(QChar c) {
    return isIdentStart(c) || (c >= u'0' && c <= u'9');
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

class Lexer {
public:
    Lexer(const QString& text, const QString& source) : text_(text), source_(source) {}

    std::vector<Token> tokens() {
        std::vector<Token> out;
        for (;;) {
            skipBlanksAndComments();
            if (pos_ >= text_.size())
                break;
            out.push_back(next());
        }
        out.push_back(Token{Token::Type::End, {}, 0, 0, line_});
        return out;
    }

private:
    [[noreturn]] void fail(const QString& reason) const {
        throw FormLoadError(source_, line_, reason);
    }

    QChar peek(qsizetype ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : QChar();
    }

    void skipBlanksAndComments() {
        while (pos_ < text_.size()) {
            const QChar c = text_[pos_];
            if (c == u'\n') {
                ++line_;
                ++pos_;
            } else if (c.isSpace()) {
                ++pos_;
            } else if (c == u'/' && peek(1) == u'/') {
                while (pos_ < text_.size() && text_[pos_] != u'\n')
                    ++pos_;
            } else {
                break;
            }
        }
    }

    Token next() {
        const QChar c = peek();
        if (isIdentStart(c))
            return identifier();
        if (isDigit(c) || ((c == u'-' || c == u'+') && isDigit(peek(1))))
            return number();
        if (c == u'$')
            return hexNumber();
        if (c == u'\'' || c == u'#')
            return string();
        if (QStringView(u":=[](),+").contains(c)) {
            ++pos_;
            return Token{Token::Type::Symbol, QString(c), 0, 0, line_};
        }
        fail(QStringLiteral("unexpected character '%1'").arg(c));
    }

    Token identifier() {
        const qsizetype start = pos_;
        while (pos_ < text_.size() &&
               (isIdentPart(text_[pos_]) || (text_[pos_] == u'.' && isIdentStart(peek(1)))))
            ++pos_;
        return Token{Token::Type::Identifier, text_.mid(start, pos_ - start), 0, 0, line_};
    }

    Token number() {
        const qsizetype start = pos_;
        if (peek() == u'-' || peek() == u'+')
            ++pos_;
        while (isDigit(peek()))
            ++pos_;
        bool isFloat = false;
        if (peek() == u'.' && isDigit(peek(1))) {
            isFloat = true;
            ++pos_;
            while (isDigit(peek()))
                ++pos_;
        }
        if (isIdentStart(peek()))
            fail(QStringLiteral("malformed number"));
        const QString digits = text_.mid(start, pos_ - start);
        bool ok = false;
        Token t{isFloat ? Token::Type::Float : Token::Type::Integer, digits, 0, 0, line_};
        if (isFloat)
            t.number = digits.toDouble(&ok);
        else
            t.integer = digits.toLongLong(&ok);
        if (!ok)
            fail(QStringLiteral("number out of range: %1").arg(digits));
        return t;
    }

    Token hexNumber() {
        ++pos_;
        const qsizetype start = pos_;
        while (isIdentPart(peek()))
            ++pos_;
        const QString digits = text_.mid(start, pos_ - start);
        bool ok = false;
        const qulonglong value = digits.toULongLong(&ok, 16);
        if (!ok || value > std::numeric_limits<quint32>::max())
            fail(QStringLiteral("malformed hexadecimal number: $%1").arg(digits));
        // $80000000 and above are system colours: keep the 32-bit pattern as a signed value.
        return Token{Token::Type::Integer, u'$' + digits, qint32(quint32(value)), 0, line_};
    }

    // 'text' with '' for a quote, #nn for a character by code, pieces written side by side.
    Token string() {
        Token t{Token::Type::String, {}, 0, 0, line_};
        while (peek() == u'\'' || peek() == u'#') {
            if (peek() == u'#') {
                ++pos_;
                const qsizetype start = pos_;
                while (isDigit(peek()))
                    ++pos_;
                bool ok = false;
                const uint code = text_.mid(start, pos_ - start).toUInt(&ok);
                if (!ok || code > 0x10FFFF)
                    fail(QStringLiteral("malformed character code"));
                t.text += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
                continue;
            }
            ++pos_;
            for (;;) {
                if (pos_ >= text_.size() || text_[pos_] == u'\n')
                    fail(QStringLiteral("unterminated string"));
                if (text_[pos_] == u'\'') {
                    if (peek(1) == u'\'') {
                        t.text += u'\'';
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                t.text += text_[pos_++];
            }
        }
        return t;
    }

    const QString& text_;
    const QString& source_;
    qsizetype pos_ = 0;
    int line_ = 1;
};

class Parser {
public:
    Parser(std::vector<Token> tokens, const QString& source)
        : tokens_(std::move(tokens)), source_(source) {}

    FormObject root() {
        FormObject object = parseObject();
        if (current().type != Token::Type::End)
            fail(current(), QStringLiteral("text after the final 'end'"));
        return object;
    }

private:
    [[noreturn]] void fail(const Token& at, const QString& reason) const {
        throw FormLoadError(source_, at.line, reason);
    }

    const Token& current() const { return tokens_[index_]; }
    const Token& take() { return tokens_[index_ < tokens_.size() - 1 ? index_++ : index_]; }

    bool isSymbol(const QString& s) const {
        return current().type == Token::Type::Symbol && current().text == s;
    }
    bool isKeyword(const char* word) const {
        return current().type == Token::Type::Identifier && current().text == QLatin1String(word);
    }

    void expectSymbol(const QString& s) {
        if (!isSymbol(s))
            fail(current(), QStringLiteral("expected '%1'").arg(s));
        take();
    }

    QString expectName(const QString& what) {
        if (current().type != Token::Type::Identifier || current().text.contains(u'.'))
            fail(current(), QStringLiteral("expected %1").arg(what));
        return take().text;
    }

    FormObject parseObject() {
        if (!isKeyword("object"))
            fail(current(), QStringLiteral("expected 'object'"));
        FormObject object;
        object.line = take().line;
        object.name = expectName(QStringLiteral("an object name"));
        expectSymbol(QStringLiteral(":"));
        object.className = expectName(QStringLiteral("a class name"));
        for (;;) {
            if (current().type == Token::Type::End)
                fail(current(), QStringLiteral("missing 'end' of object %1").arg(object.name));
            if (isKeyword("end")) {
                take();
                return object;
            }
            if (isKeyword("object")) {
                object.children.push_back(parseObject());
                continue;
            }
            if (current().type != Token::Type::Identifier)
                fail(current(), QStringLiteral("expected a property name, 'object' or 'end'"));
            if (!object.children.empty())
                fail(current(),
                     QStringLiteral("property %1 after a nested object").arg(current().text));
            object.properties.push_back(parseProperty());
        }
    }

    FormProperty parseProperty() {
        FormProperty property;
        property.line = current().line;
        property.name = take().text;
        expectSymbol(QStringLiteral("="));
        property.value = parseValue();
        return property;
    }

    FormValue parseValue() {
        const Token& t = current();
        FormValue value;
        switch (t.type) {
        case Token::Type::String:
            value.kind = FormValue::Kind::String;
            value.text = take().text;
            while (isSymbol(QStringLiteral("+"))) {
                take();
                if (current().type != Token::Type::String)
                    fail(current(), QStringLiteral("expected a string after '+'"));
                value.text += take().text;
            }
            return value;
        case Token::Type::Integer:
            value.kind = FormValue::Kind::Integer;
            value.integer = t.integer;
            value.text = take().text;
            return value;
        case Token::Type::Float:
            value.kind = FormValue::Kind::Float;
            value.number = t.number;
            value.text = take().text;
            return value;
        case Token::Type::Identifier:
            if (t.text == QLatin1String("object") || t.text == QLatin1String("end"))
                fail(t, QStringLiteral("expected a value"));
            value.kind = FormValue::Kind::Identifier;
            value.text = take().text;
            return value;
        case Token::Type::Symbol:
            if (t.text == QLatin1String("["))
                return parseSet();
            if (t.text == QLatin1String("("))
                return parseList();
            break;
        case Token::Type::End:
            break;
        }
        fail(t, QStringLiteral("expected a value"));
    }

    FormValue parseSet() {
        take();
        FormValue value;
        value.kind = FormValue::Kind::Set;
        while (!isSymbol(QStringLiteral("]"))) {
            if (!value.names.isEmpty())
                expectSymbol(QStringLiteral(","));
            value.names << expectName(QStringLiteral("a set element"));
        }
        take();
        return value;
    }

    FormValue parseList() {
        take();
        FormValue value;
        value.kind = FormValue::Kind::List;
        while (!isSymbol(QStringLiteral(")"))) {
            if (current().type == Token::Type::End)
                fail(current(), QStringLiteral("missing ')'"));
            if (isSymbol(QStringLiteral(","))) {
                take();
                continue;
            }
            value.items.push_back(parseValue());
        }
        take();
        return value;
    }

    std::vector<Token> tokens_;
    const QString& source_;
    std::size_t index_ = 0;
};

} // namespace

QVariant FormValue::toVariant() const {
    switch (kind) {
    case Kind::String:
        return text;
    case Kind::Integer:
        if (integer >= std::numeric_limits<int>::min() &&
            integer <= std::numeric_limits<int>::max())
            return int(integer);
        return integer;
    case Kind::Float:
        return number;
    case Kind::Identifier:
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
        return text;
    case Kind::Set:
        return names;
    case Kind::List: {
        QVariantList list;
        for (const FormValue& item : items)
            list << item.toVariant();
        return list;
    }
    }
    return {};
}

QString FormValue::describe() const {
    switch (kind) {
    case Kind::String:
        return u'\'' + text + u'\'';
    case Kind::Set:
        return u'[' + names.join(QStringLiteral(", ")) + u']';
    case Kind::List: {
        QStringList parts;
        for (const FormValue& item : items)
            parts << item.describe();
        return u'(' + parts.join(u' ') + u')';
    }
    default:
        return text;
    }
}

FormObject parseFormDescription(const QString& text, const QString& sourceName) {
    Lexer lexer(text, sourceName);
    Parser parser(lexer.tokens(), sourceName);
    return parser.root();
}
