#include "Session.h"

#include "Arithmetic.h"
#include "Builtins.h"
#include "Parser.h"
#include "Printer.h"

#include <algorithm>
#include <cstdio>

namespace kernel {
namespace {

// Deep enough for any statement the parser accepts, shallow enough for a 1 MB stack.
const int MaxDepth = 1000;

class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth)
    {
        if (++depth_ > MaxDepth) {
            --depth_;
            throw ComputationError("too many levels of recursion");
        }
    }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

bool IsOldArray(const Value& v)
{
    const auto* a = As<ArrayData>(v);
    return a && a->style != ArrayStyle::RTable;
}

bool Mentions(const Value& v, const std::string& name)
{
    return ContainsPart(v, [&](const Value& part) {
        const auto* s = As<Symbol>(part);
        return s && s->name == name;
    });
}

std::vector<std::string> ReadProcedureNames(const std::string& folder)
{
    std::vector<std::string> names;
    const std::string path = folder + "/procedures.txt";
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return names;
    std::string line;
    for (int c; (c = std::fgetc(f)) != EOF;) {
        if (c == '\n' || c == '\r') {
            if (!line.empty())
                names.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    if (!line.empty())
        names.push_back(line);
    std::fclose(f);
    return names;
}

std::int64_t Subscript(const Value& v)
{
    const auto* n = As<Number>(v);
    if (!n || !n->IsReal() || n->re.type != Real::Type::Integer)
        throw ComputationError("invalid subscript " + Brief(v));
    return n->re.num;
}

}

Value Session::Run(std::string_view text)
{
    std::vector<Statement> statements;
    try {
        statements = ParseStatements(text);
    } catch (const SyntaxError& e) {
        output_.Error(static_cast<std::int32_t>(std::min<std::size_t>(e.offset, INT32_MAX)), e.what());
        return nullptr;
    }
    last_ = MakeNothing();
    try {
        for (const Statement& s : statements) {
            if (output_.Interrupted())
                throw ComputationError("interrupted");
            RunStatement(s);
        }
    } catch (const ComputationError& e) {
        depth_ = 0;
        Report(e.what());
        return nullptr;
    }
    return last_;
}

void Session::RunStatement(const Statement& s)
{
    last_ = Evaluate(s.expression);
    if (!s.target.empty())
        Assign(s.target, last_);
    if (!s.show || (s.target.empty() && Is<Nothing>(last_)))
        return;
    Show(OutputKind::Result, s.target.empty() ? Print(last_) : s.target + " := " + Print(last_));
}

Value Session::Evaluate(const Value& v)
{
    DepthGuard guard(depth_);
    if (const auto* s = As<Symbol>(v))
        return EvaluateName(v, *s);
    if (const auto* o = As<Operation>(v)) {
        std::vector<Value> operands;
        for (const Value& x : o->operands)
            operands.push_back(Evaluate(x));
        return Apply(o->op, operands);
    }
    if (const auto* c = As<Call>(v))
        return EvaluateCall(*c);
    if (const auto* i = As<Indexed>(v))
        return EvaluateIndexed(*i);
    if (const auto* l = As<List>(v)) {
        std::vector<Value> items;
        for (const Value& x : l->items)
            items.push_back(Evaluate(x));
        return MakeList(std::move(items));
    }
    return v;
}

Value Session::EvaluateName(const Value& v, const Symbol& s)
{
    const auto it = globals_.find(s.name);
    if (it == globals_.end() && s.name == "libname")
        return MakeText(libraryPath_);
    if (it == globals_.end() || IsOldArray(it->second))
        return v;
    return Evaluate(it->second);
}

Value Session::EvaluateCall(const Call& c)
{
    const std::string name = FunctionName(c.function);
    if (name.empty())
        throw ComputationError("not a function: " + Brief(c.function));
    std::vector<Value> args;
    for (const Value& a : c.args)
        args.push_back(Evaluate(a));
    return CallFunction(*this, name, args);
}

Value Session::EvaluateIndexed(const Indexed& i)
{
    const Value base = Resolve(Evaluate(i.base));
    std::vector<Value> indices;
    for (const Value& x : i.indices)
        indices.push_back(Evaluate(x));
    if (Is<Symbol>(base))
        return MakeIndexed(base, std::move(indices));
    if (const auto* l = As<List>(base)) {
        const std::int64_t k = indices.size() == 1 ? Subscript(indices[0]) : 0;
        const auto n = static_cast<std::int64_t>(l->items.size());
        if (k < 1 || k > n)
            throw ComputationError("invalid subscript selector");
        return l->items[static_cast<std::size_t>(k - 1)];
    }
    if (const auto* a = As<ArrayData>(base)) {
        std::vector<std::int64_t> index;
        for (const Value& x : indices)
            index.push_back(Subscript(x));
        return a->At(index);
    }
    throw ComputationError("cannot index " + Brief(base));
}

void Session::Assign(const std::string& name, Value value)
{
    if (name == "I" || name == "true" || name == "false")
        throw ComputationError("attempting to assign to `" + name + "` which is protected");
    if (Mentions(value, name))
        throw ComputationError("recursive assignment");
    globals_[name] = std::move(value);
}

Value Session::Resolve(const Value& v) const
{
    const auto* s = As<Symbol>(v);
    if (!s)
        return v;
    const Value stored = Assigned(s->name);
    return IsOldArray(stored) ? stored : v;
}

Value Session::Assigned(const std::string& name) const
{
    const auto it = globals_.find(name);
    return it == globals_.end() ? nullptr : it->second;
}

void Session::SetLibraryPath(std::string path)
{
    libraryPath_ = std::move(path);
    libraryProcedures_ = ReadProcedureNames(libraryPath_);
}

bool Session::LibraryProvides(std::string_view procedure) const
{
    return std::find(libraryProcedures_.begin(), libraryProcedures_.end(), procedure) != libraryProcedures_.end();
}

}
