#include "Parser.h"

#include "Errors.h"

#include <cctype>
#include <charconv>

namespace kernel {
namespace {

enum class TokenType { End, Name, Integer, Float, String, Punct };

struct Token {
    TokenType type = TokenType::End;
    std::string text;   // the name, the string's contents, the punctuation or the digits
    std::size_t offset = 0;
};

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNamePart(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Expressions are read and evaluated recursively: a bound on their depth keeps the stack safe.
const int MaxNesting = 500;

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    Token Next()
    {
        SkipBlanksAndComments();
        Token t;
        t.offset = at_;
        if (at_ >= text_.size())
            return t;
        const char c = text_[at_];
        if (IsNameStart(c))
            return Word(t);
        if (c == '`')
            return QuotedName(t);
        if (IsDigit(c) || (c == '.' && at_ + 1 < text_.size() && IsDigit(text_[at_ + 1])))
            return NumberToken(t);
        if (c == '"')
            return StringToken(t);
        return Punctuation(t);
    }

private:
    void SkipBlanksAndComments()
    {
        while (at_ < text_.size()) {
            if (std::isspace(static_cast<unsigned char>(text_[at_])))
                ++at_;
            else if (text_[at_] == '#')
                while (at_ < text_.size() && text_[at_] != '\n')
                    ++at_;
            else
                break;
        }
    }

    Token Word(Token t)
    {
        const std::size_t start = at_;
        while (at_ < text_.size() && IsNamePart(text_[at_]))
            ++at_;
        t.type = TokenType::Name;
        t.text = text_.substr(start, at_ - start);
        return t;
    }

    Token QuotedName(Token t)
    {
        const std::size_t close = text_.find('`', at_ + 1);
        if (close == std::string_view::npos)
            throw SyntaxError(t.offset, "syntax error, missing closing `");
        t.type = TokenType::Name;
        t.text = text_.substr(at_ + 1, close - at_ - 1);
        at_ = close + 1;
        return t;
    }

    void Digits()
    {
        while (at_ < text_.size() && IsDigit(text_[at_]))
            ++at_;
    }

    Token NumberToken(Token t)
    {
        const std::size_t start = at_;
        t.type = TokenType::Integer;
        Digits();
        if (at_ < text_.size() && text_[at_] == '.') {
            t.type = TokenType::Float;
            ++at_;
            Digits();
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            std::size_t e = at_ + 1;
            if (e < text_.size() && (text_[e] == '+' || text_[e] == '-'))
                ++e;
            if (e < text_.size() && IsDigit(text_[e])) {
                t.type = TokenType::Float;
                at_ = e;
                Digits();
            }
        }
        t.text = text_.substr(start, at_ - start);
        return t;
    }

    Token StringToken(Token t)
    {
        ++at_;
        t.type = TokenType::String;
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (c == '\\' && at_ < text_.size()) {
                c = text_[at_++];
                if (c == 'n')
                    c = '\n';
            }
            t.text += c;
        }
        if (at_ >= text_.size())
            throw SyntaxError(t.offset, "syntax error, missing closing \"");
        ++at_;
        return t;
    }

    Token Punctuation(Token t)
    {
        t.type = TokenType::Punct;
        if (text_.substr(at_, 2) == ":=") {
            t.text = ":=";
            at_ += 2;
            return t;
        }
        static const std::string_view single = ":;+-*/^()[],";
        if (single.find(text_[at_]) == std::string_view::npos)
            throw SyntaxError(t.offset, std::string("syntax error, unexpected character '") + text_[at_] + "'");
        t.text = text_[at_++];
        return t;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

class Parser {
public:
    explicit Parser(std::string_view text) : lexer_(text), end_(text.size())
    {
        Advance();
        Advance();
    }

    std::vector<Statement> Program()
    {
        std::vector<Statement> statements;
        while (token_.type != TokenType::End) {
            if (IsPunct(":") || IsPunct(";")) {
                Advance();
                continue;
            }
            statements.push_back(OneStatement());
        }
        return statements;
    }

private:
    void Advance()
    {
        token_ = std::move(next_);
        next_ = lexer_.Next();
    }

    bool IsPunct(std::string_view p) const { return token_.type == TokenType::Punct && token_.text == p; }

    [[noreturn]] void Unexpected() const
    {
        if (token_.type == TokenType::End)
            throw SyntaxError(end_, "syntax error, premature end of input");
        const std::string shown = token_.type == TokenType::String ? "\"" + token_.text + "\"" : token_.text;
        throw SyntaxError(token_.offset, "syntax error, unexpected " + shown);
    }

    void Expect(std::string_view p)
    {
        if (!IsPunct(p))
            Unexpected();
        Advance();
    }

    Statement OneStatement()
    {
        Statement s;
        if (token_.type == TokenType::Name && next_.type == TokenType::Punct && next_.text == ":=") {
            s.target = token_.text;
            Advance();
            Advance();
        }
        s.expression = Expression();
        if (!IsPunct(":") && !IsPunct(";"))
            Unexpected();
        s.show = IsPunct(";");
        Advance();
        return s;
    }

    // Counts one more level of the expression being read; a chain of operators counts a level
    // for each operator, as its value nests that deep.
    void Deeper(int& levels) const
    {
        if (++levels > MaxNesting)
            throw SyntaxError(token_.offset, "expression nested too deeply for this kernel");
    }

    Value Expression() { return Chain("+", Op::Add, "-", Op::Subtract, &Parser::Term); }
    Value Term() { return Chain("*", Op::Multiply, "/", Op::Divide, &Parser::Unary); }

    // Operands joined from the left by either of two operators of one strength.
    Value Chain(std::string_view first, Op firstOp, std::string_view second, Op secondOp, Value (Parser::*operand)())
    {
        int levels = nesting_;
        Value left = (this->*operand)();
        while (IsPunct(first) || IsPunct(second)) {
            const Op op = IsPunct(first) ? firstOp : secondOp;
            Deeper(levels);
            Advance();
            left = MakeOperation(op, {left, (this->*operand)()});
        }
        return left;
    }

    Value Unary()
    {
        Deeper(nesting_);
        struct Leave {
            int& n;
            ~Leave() { --n; }
        } leave{nesting_};
        if (IsPunct("-")) {
            Advance();
            return MakeOperation(Op::Negate, {Unary()});
        }
        if (IsPunct("+")) {
            Advance();
            return Unary();
        }
        Value base = Postfix();
        if (!IsPunct("^"))
            return base;
        Advance();
        return MakeOperation(Op::Power, {base, Unary()});
    }

    std::vector<Value> Arguments(std::string_view close)
    {
        std::vector<Value> args;
        if (!IsPunct(close)) {
            args.push_back(Expression());
            while (IsPunct(",")) {
                Advance();
                args.push_back(Expression());
            }
        }
        Expect(close);
        return args;
    }

    Value Postfix()
    {
        Value v = Primary();
        for (;;) {
            if (IsPunct("(")) {
                Advance();
                v = MakeCall(v, Arguments(")"));
            } else if (IsPunct("[")) {
                Advance();
                v = MakeIndexed(v, Arguments("]"));
            } else {
                return v;
            }
        }
    }

    Value Primary()
    {
        const Token t = token_;
        switch (t.type) {
        case TokenType::Name: Advance(); return NameValue(t.text);
        case TokenType::Integer: Advance(); return IntegerValue(t);
        case TokenType::Float: Advance(); return FloatValue(t);
        case TokenType::String: Advance(); return MakeText(t.text);
        case TokenType::Punct:
            if (t.text == "(") {
                Advance();
                Value inner = Expression();
                Expect(")");
                return inner;
            }
            if (t.text == "[") {
                Advance();
                return MakeList(Arguments("]"));
            }
            break;
        case TokenType::End: break;
        }
        Unexpected();
    }

    static Value NameValue(const std::string& name)
    {
        if (name == "I")
            return MakeNumber({Real::Int(0), Real::Int(1)});
        if (name == "true" || name == "false")
            return MakeBoolean(name == "true");
        return MakeSymbol(name);
    }

    static Value IntegerValue(const Token& t)
    {
        std::int64_t n = 0;
        const auto r = std::from_chars(t.text.data(), t.text.data() + t.text.size(), n);
        if (r.ec != std::errc())
            throw SyntaxError(t.offset, "integer too large for this kernel: " + t.text);
        return MakeInteger(n);
    }

    static Value FloatValue(const Token& t)
    {
        double v = 0;
        const auto r = std::from_chars(t.text.data(), t.text.data() + t.text.size(), v);
        if (r.ec != std::errc())
            throw SyntaxError(t.offset, "float out of range: " + t.text);
        return MakeFloat(v);
    }

    Lexer lexer_;
    std::size_t end_;
    int nesting_ = 0;
    Token token_, next_;
};

}

std::vector<Statement> ParseStatements(std::string_view text) { return Parser(text).Program(); }

}
