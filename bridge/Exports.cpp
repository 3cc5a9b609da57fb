// The exported C functions: undecorated names, every argument by address, a 32-bit result. Each
// is a thin edge over its operation that lets no C++ exception out to the host.
#include "Operations.h"

#include "Boxes.h"
#include "State.h"

#include <exception>

namespace {

// An operation that failed inside the bridge itself (out of memory, for one) ends as an error
// of the running operation: status 1, result 1.
int Failed(double* status, const char* what) noexcept
{
    try {
        ComputationErrorBox(std::string("Internal error: ") + what);
    } catch (...) {
        Bridge().error = 1;
    }
    if (status)
        *status = 1;
    return 1;
}

template <class F> int Edge(double* status, F&& operation) noexcept
{
    try {
        return operation();
    } catch (const std::exception& e) {
        return Failed(status, e.what());
    } catch (...) {
        return Failed(status, "unknown failure");
    }
}

}

extern "C" {

int mpl_open(double* status, const char* folder) { return Edge(status, [&] { return Open(status, folder); }); }
int mpl_close(double* status) { return Edge(status, [&] { return Close(status); }); }
int mpl_restart(double* status) { return Edge(status, [&] { return Restart(status); }); }
int mpl_exec(double* status, const char* statement) { return Edge(status, [&] { return Exec(status, statement); }); }

int mpl_tempbuf(double* status, char* buffer, double* size)
{
    return Edge(status, [&] { return TempBuf(status, buffer, size); });
}

int mpl_output(double* status, const char* command, const char* text)
{
    return Edge(status, [&] { return Output(status, command, text); });
}

int mpl_debug(double* status, const double* on) { return Edge(status, [&] { return Debug(status, on); }); }
int mpl_test(const char* text) { return Edge(nullptr, [&] { return Test(text); }); }
// These two answer yes or no in their first argument, which they set to no before anything else:
// a failure must leave it so, not turn it into a yes.
int delete_file(double* answer, const char* path) { return Edge(nullptr, [&] { return RemoveFile(answer, path); }); }
int exist_file(double* answer, const char* path) { return Edge(nullptr, [&] { return FileExists(answer, path); }); }

int mpl_get(double* status, const char* statement, char* text, double* size)
{
    return Edge(status, [&] { return Get(status, statement, text, size); });
}

int mpl_valget(double* status, const char* name, double* value)
{
    return Edge(status, [&] { return ValGet(status, name, value); });
}

int mpl_valgetc(double* status, const char* name, double* re, double* im)
{
    return Edge(status, [&] { return ValGetC(status, name, re, im); });
}

int mpl_strget(double* status, const char* name, char* text)
{
    return Edge(status, [&] { return StrGet(status, name, text); });
}

int mpl_strsize(double* status, const char* name, double* length)
{
    return Edge(status, [&] { return StrSize(status, name, length); });
}

int mpl_strput(double* status, const char* name, const char* text)
{
    return Edge(status, [&] { return StrPut(status, name, text); });
}

int mpl_valput(double* status, const char* name, const double* value)
{
    return Edge(status, [&] { return ValPut(status, name, value); });
}

int mpl_valputc(double* status, const char* name, const double* re, const double* im)
{
    return Edge(status, [&] { return ValPutC(status, name, re, im); });
}

int mpl_vecput(double* status, const char* name, const double* block, const double* d1, const double* d2)
{
    return Edge(status, [&] { return VecPut(status, name, block, d1, d2); });
}

int mpl_matput(double* status, const char* name, const double* block, const double* rows, const double* cols)
{
    return Edge(status, [&] { return MatPut(status, name, block, rows, cols); });
}

int mpl_matputc(double* status, const char* name, const double* re, const double* im, const double* rows,
                const double* cols)
{
    Edge(status, [&] { return MatPutC(status, name, re, im, rows, cols); });
    return 0;
}

int mpl_matget(double* status, const char* name, double* block)
{
    return Edge(status, [&] { return MatGet(status, name, block); });
}

int mpl_rtcreate(double* status, const char* name, double* rows, double* cols, const double* part)
{
    return Edge(status, [&] { return RtCreate(status, name, rows, cols, part); });
}

int mpl_syminfo(double* status, const char* name, double* kind, double* code, double* rows, double* cols,
                double* length, double* complex)
{
    return Edge(status, [&] { return SymInfo(status, name, kind, code, rows, cols, length, complex); });
}

}
