// What a kernel variable holds, so that the host can choose the export that fetches it and size
// its buffers.
#include "Operations.h"

#include "Boxes.h"
#include "Kernel.h"
#include "State.h"

namespace {

// The number a statement about the name answers; nothing when it failed.
std::optional<double> Answer(std::string_view head, const char* name)
{
    const auto statement = Statement(LongStatement, {head, name, "):"});
    return statement ? FloatOf(Evaluate(*statement)) : std::nullopt;
}

std::optional<int16_t> ClassCode(const char* name)
{
    const auto statement = Statement(LongStatement, {"vinfo(", name, "):"});
    const MapleValue answer = statement ? Evaluate(*statement) : nullptr;
    if (!answer)
        return std::nullopt;
    const int16_t code = MapleToInteger16(Bridge().kernel, answer);
    return Bridge().error ? std::nullopt : std::optional<int16_t>(code);
}

// 6 numeric, 5 not; nothing when the question failed. An answer other than 0 or 1 is refused
// rather than turned into some other kind.
std::optional<double> NumericKind(const char* name)
{
    const auto numeric = Answer("nr:=isNumeric(", name);
    if (!numeric)
        return std::nullopt;
    if (*numeric != 0 && *numeric != 1) {
        ComputationErrorBox("Unrecognized type");
        return std::nullopt;
    }
    return 5 + *numeric;
}

struct Outputs {
    double *kind, *code, *rows, *cols, *length, *complex;
};

// Dimensions, or a string's length, by class code; false when a statement failed.
bool Measure(int16_t code, const char* name, const Outputs& o)
{
    if (code == 0) {
        *o.rows = 1;
        *o.cols = 1;
        return true;
    }
    if (code == 11 || code == 12) {
        const auto n = Answer(code == 11 ? "nr:=vectdim(" : "nr:=LinearAlgebra[Dimension](", name);
        if (n) {
            *o.rows = *n;
            *o.cols = 1;
        }
        return n.has_value();
    }
    if (code == 30) {
        const auto n = Answer("len:=length(", name);
        if (n)
            *o.length = *n;
        return n.has_value();
    }
    const auto c = Answer("nc:=coldim(", name);
    const auto r = c ? Answer("nr:=rowdim(", name) : std::nullopt;
    if (r) {
        *o.cols = *c;
        *o.rows = *r;
    }
    return r.has_value();
}

bool IsKnownCode(int16_t code) { return code == 0 || code == 11 || code == 12 || code == 20 || code == 30 || code == 40; }

// A matrix expression is replaced by its evaluated matrix.
bool EvaluateMatrixExpression(const char* name)
{
    const auto statement = Statement(LongStatement, {name, ":=evalm(", name, "):"});
    return statement && Evaluate(*statement);
}

// The steps of mpl_syminfo; each stops at the first statement that fails.
void Describe(const char* name, const Outputs& o)
{
    const auto t = ClassCode(name);
    if (!t)
        return;
    *o.length = 0;
    *o.code = *t;
    if (*t == 40 && !EvaluateMatrixExpression(name))
        return;
    *o.complex = 0;
    double kind = 6;
    if (*t != 30) {
        const auto numeric = NumericKind(name);
        if (!numeric)
            return;
        kind = *numeric;
        const auto c = kind == 6 ? Answer("nr:=isComplex(", name) : std::optional<double>(0);
        if (!c)
            return;
        *o.complex = *c;
    }
    if (!IsKnownCode(*t)) {
        *o.rows = 0;
        *o.cols = 0;
        *o.kind = 0;
        ComputationErrorBox("Unrecognized type");
        return;
    }
    if (Measure(*t, name, o))
        *o.kind = *t == 30 ? 13 : kind;
}

}

int SymInfo(double* status, const char* name, double* kind, double* code, double* rows, double* cols, double* length,
            double* complex)
{
    BridgeState& b = Bridge();
    b.operation = "mpl_syminfo";
    if (MplCheck(status))
        return 1;
    Describe(name, {kind, code, rows, cols, length, complex});
    *status = b.error;
    return 0;
}
