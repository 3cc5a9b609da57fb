// Reads the text of one or more statements. Statements end with ":" or ";"; a ";" asks for the
// statement's result to be shown. An assignment is a name, ":=" and an expression.
#pragma once

#include "Value.h"

#include <string>
#include <string_view>
#include <vector>

namespace kernel {

struct Statement {
    std::string target;  // empty for a statement that is only an expression
    Value expression;
    bool show = false;
};

// Throws SyntaxError, with the byte offset where reading stopped, for a text that is not a
// sequence of complete statements.
std::vector<Statement> ParseStatements(std::string_view text);

}
