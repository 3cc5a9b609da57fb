// One session of the stand-in kernel: the global variables, the library path, and the
// evaluation of statements and values.
#pragma once

#include "Errors.h"
#include "Value.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kernel {

enum class OutputKind { Result = 1, Printed = 2 };

// Where the session's output and errors go. An error offset of 0 or more is a syntax error at
// that byte of the statement text; -1 is an error during a computation.
class SessionOutput {
public:
    virtual void Text(OutputKind kind, const std::string& text) = 0;
    virtual void Error(std::int32_t offset, const std::string& message) = 0;
    // Asked before each statement; true stops the evaluation.
    virtual bool Interrupted() { return false; }

protected:
    ~SessionOutput() = default;
};

class Session {
public:
    explicit Session(SessionOutput& output) : output_(output) {}

    // Reads and evaluates the statements of text and answers the value of the last one. After a
    // syntax error nothing is evaluated; after a computation error the statements that follow are
    // not. Either answers null, once the error has gone to the output.
    Value Run(std::string_view text);

    // Throw ComputationError.
    Value Evaluate(const Value& v);
    void Assign(const std::string& name, Value value);
    // An old-style vector or matrix is referred to by its name: the array a name stands for,
    // else the value itself.
    Value Resolve(const Value& v) const;
    // What a name is assigned, unevaluated; null when unassigned.
    Value Assigned(const std::string& name) const;

    void Forget() { globals_.clear(); }
    void Show(OutputKind kind, const std::string& text) { output_.Text(kind, text); }
    void Report(const std::string& message) { output_.Error(-1, message); }

    // The library is a folder whose "procedures.txt" names, one a line, the library procedures
    // it holds; they can be called while the folder is the library path. The name libname
    // evaluates to the path.
    void SetLibraryPath(std::string path);
    const std::string& LibraryPath() const { return libraryPath_; }
    bool LibraryProvides(std::string_view procedure) const;

private:
    void RunStatement(const struct Statement& s);
    Value EvaluateName(const Value& v, const Symbol& s);
    Value EvaluateCall(const Call& c);
    Value EvaluateIndexed(const Indexed& i);

    SessionOutput& output_;
    std::unordered_map<std::string, Value> globals_;
    std::string libraryPath_;
    std::vector<std::string> libraryProcedures_;
    Value last_;
    int depth_ = 0;
};

}
