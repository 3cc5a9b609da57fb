#include "Printer.h"

#include <cctype>

namespace kernel {
namespace {

// Binding strength of what a value prints as; a part is put in parentheses when it binds less
// tightly than its place asks for.
enum Strength { Sum = 1, Product = 2, Prefix = 3, Exponent = 4, Atom = 5 };

Strength StrengthOf(const Value& v)
{
    if (const auto* n = As<Number>(v)) {
        const std::string text = FormatNumber(*n);
        if (text[0] == '-')
            return Prefix;
        if (!n->IsReal() && !n->re.IsExactZero())
            return Sum;
        return text.find_first_of("/*") != std::string::npos ? Product : Atom;
    }
    const auto* o = As<Operation>(v);
    if (!o)
        return Atom;
    switch (o->op) {
    case Op::Add: case Op::Subtract: return Sum;
    case Op::Multiply: case Op::Divide: return Product;
    case Op::Negate: return Prefix;
    case Op::Power: return Exponent;
    }
    return Atom;
}

std::string Wrapped(const Value& v, Strength needed)
{
    const std::string text = Print(v);
    return StrengthOf(v) < needed ? "(" + text + ")" : text;
}

bool IsPlainName(const std::string& name)
{
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0])))
        return false;
    for (const char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return true;
}

std::string Joined(const std::vector<Value>& items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i ? ", " : "") + Print(items[i]);
    return text;
}

std::string PrintOperation(const Operation& o)
{
    const auto& a = o.operands;
    switch (o.op) {
    case Op::Add: return Wrapped(a[0], Sum) + "+" + Wrapped(a[1], Product);
    case Op::Subtract: return Wrapped(a[0], Sum) + "-" + Wrapped(a[1], Product);
    case Op::Multiply: return Wrapped(a[0], Prefix) + "*" + Wrapped(a[1], Exponent);
    case Op::Divide: return Wrapped(a[0], Product) + "/" + Wrapped(a[1], Exponent);
    case Op::Negate: return "-" + Wrapped(a[0], Product);
    case Op::Power: return Wrapped(a[0], Atom) + "^" + Wrapped(a[1], Atom);
    }
    return {};
}

std::string QuotedText(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// Rows of a two-dimensional array as a list of lists, a one-dimensional one as a list.
std::string PrintEntries(const ArrayData& a)
{
    if (a.Dimensions() != 2) {
        std::vector<Value> items;
        for (std::size_t k = 0; k < a.Count(); ++k)
            items.push_back(a.Entry(k));
        return "[" + Joined(items) + "]";
    }
    std::string text = "[";
    const auto rows = static_cast<std::size_t>(a.Rows()), cols = static_cast<std::size_t>(a.Columns());
    for (std::size_t i = 0; i < rows; ++i) {
        std::vector<Value> row;
        for (std::size_t j = 0; j < cols; ++j)
            row.push_back(a.Entry(j * rows + i));
        text += (i ? ", [" : "[") + Joined(row) + "]";
    }
    return text + "]";
}

std::string PrintArray(const ArrayData& a)
{
    std::string head;
    switch (a.style) {
    case ArrayStyle::Vector: head = "vector"; break;
    case ArrayStyle::Matrix: head = "matrix"; break;
    case ArrayStyle::RTable:
        switch (a.subtype) {
        case Subtype::Array: head = "Array"; break;
        case Subtype::Matrix: head = "Matrix"; break;
        case Subtype::ColumnVector: head = "Vector[column]"; break;
        case Subtype::RowVector: head = "Vector[row]"; break;
        }
    }
    const std::string tail = a.dataType == DataType::Float64 ? ", datatype = float[8])" : ")";
    return head + "(" + PrintEntries(a) + tail;
}

}

std::string Print(const Value& v)
{
    if (const auto* n = As<Number>(v))
        return FormatNumber(*n);
    if (const auto* t = As<Text>(v))
        return QuotedText(t->text);
    if (const auto* b = As<Boolean>(v))
        return b->value ? "true" : "false";
    if (Is<Nothing>(v))
        return {};
    if (const auto* s = As<Symbol>(v))
        return IsPlainName(s->name) ? s->name : "`" + s->name + "`";
    if (const auto* o = As<Operation>(v))
        return PrintOperation(*o);
    if (const auto* c = As<Call>(v))
        return Print(c->function) + "(" + Joined(c->args) + ")";
    if (const auto* i = As<Indexed>(v))
        return Print(i->base) + "[" + Joined(i->indices) + "]";
    if (const auto* l = As<List>(v))
        return "[" + Joined(l->items) + "]";
    if (const auto* a = As<ArrayData>(v))
        return PrintArray(*a);
    return {};
}

std::string Brief(const Value& v)
{
    const std::size_t limit = 60;
    const std::string text = Print(v);
    return text.size() <= limit ? text : text.substr(0, limit) + "...";
}

}
