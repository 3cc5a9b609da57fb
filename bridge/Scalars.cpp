// Real and complex numbers, strings and printed text between the host and kernel variables.
#include "Operations.h"

#include "Boxes.h"
#include "Kernel.h"
#include "State.h"

#include <cstring>

namespace {

// Runs the operation's body once the readiness check passed; the status ends as the error flag.
template <class F> int Guarded(const char* operation, double* status, F&& body)
{
    BridgeState& b = Bridge();
    b.operation = operation;
    *status = 0;
    if (MplCheck(status))
        return 1;
    body(b.kernel);
    *status = b.error;
    return 0;
}

// The capture switch stays on exactly while the statement runs.
class Capturing {
public:
    Capturing() { Bridge().capturing = true; }
    ~Capturing() { Bridge().capturing = false; }
    Capturing(const Capturing&) = delete;
    Capturing& operator=(const Capturing&) = delete;
};

}

int Get(double* status, const char* statement, char* text, double* size)
{
    const std::int64_t bufferSize = Truncated(*size);
    return Guarded("mpl_get", status, [&](MapleKernel k) {
        {
            Capturing on;
            EvalMapleStatement(k, statement);
        }
        CopyCaptureTo(text, bufferSize, size);
    });
}

int ValGet(double* status, const char* name, double* value)
{
    return Guarded("mpl_valget", status, [&](MapleKernel) {
        *value = 0;
        if (const auto v = HardwareFloatOf(GlobalName(name)))
            *value = *v;
    });
}

int ValGetC(double* status, const char* name, double* re, double* im)
{
    return Guarded("mpl_valgetc", status, [&](MapleKernel) {
        const auto realPart = Statement(LongStatement, {"_zzreal:=Re(", name, ");"});
        if (!realPart)
            return;
        const auto r = HardwareFloatOf(Evaluate(*realPart));
        if (!r)
            return;
        *re = *r;
        if (const auto i = HardwareFloatOf(Evaluate("_zzreal:=Im(" + std::string(name) + ");")))
            *im = *i;
    });
}

int StrGet(double* status, const char* name, char* text)
{
    return Guarded("mpl_strget", status, [&](MapleKernel k) {
        const MapleValue value = MapleEval(k, GlobalName(name));
        if (Bridge().error || !value)
            return;
        const char* s = MapleToString(k, value);
        if (!Bridge().error && s)
            std::strcpy(text, s);
    });
}

int StrSize(double* status, const char* name, double* length)
{
    return Guarded("mpl_strsize", status, [&](MapleKernel) {
        const auto statement = Statement(ShortStatement, {"length(", name, "):"});
        if (!statement)
            return;
        if (const auto n = FloatOf(Evaluate(*statement)))
            *length = *n;
    });
}

int StrPut(double* status, const char* name, const char* text)
{
    return Guarded("mpl_strput", status, [&](MapleKernel k) { MapleAssign(k, GlobalName(name), ToMapleString(k, text)); });
}

int ValPut(double* status, const char* name, const double* value)
{
    return Guarded("mpl_valput", status, [&](MapleKernel k) { MapleAssign(k, GlobalName(name), ToMapleFloat(k, *value)); });
}

int ValPutC(double* status, const char* name, const double* re, const double* im)
{
    return Guarded("mpl_valputc", status,
                   [&](MapleKernel k) { MapleAssign(k, GlobalName(name), ToMapleComplex(k, *re, *im)); });
}
