#include "Session.h"

#include <gtest/gtest.h>

namespace kernel {
namespace {

// Everything the session says, one entry per output: shown results and printed text as they
// are, errors as "error(offset): message".
class Recorder : public SessionOutput {
public:
    void Text(OutputKind, const std::string& text) override { lines.push_back(text); }
    void Error(std::int32_t offset, const std::string& message) override
    {
        lines.push_back("error(" + std::to_string(offset) + "): " + message);
    }
    std::vector<std::string> lines;
};

struct RunCase {
    const char* statements;
    std::vector<std::string> expected;
};

class KernelSession : public testing::Test {
protected:
    std::vector<std::string> Run(const std::string& text)
    {
        out.lines.clear();
        session.Run(text);
        return out.lines;
    }
    Recorder out;
    Session session{out};
};

class KernelEvaluates : public KernelSession, public testing::WithParamInterface<RunCase> {};

TEST_P(KernelEvaluates, Statements) { EXPECT_EQ(Run(GetParam().statements), GetParam().expected); }

using Lines = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(Scalars, KernelEvaluates, testing::Values(
    RunCase{"1+2*3; 2^10; -2^2; 2^(-1); 1/3+1/6;", Lines{"7", "1024", "-4", "1/2", "1/2"}},
    RunCase{"1.5e3; 2.5*2; evalf(1/4); evalhf(1/3);", Lines{"1500.", "5.", "0.25", "0.3333333333333333"}},
    RunCase{"(1+2*I)*(3-I); I^2; Re(3+4*I); Im(3-4*I); 2*I;", Lines{"5+5*I", "-1", "3", "-4", "2*I"}},
    RunCase{"x + 1; Re(z); evalf(x/4);", Lines{"x+1", "Re(z)", "x/4."}},
    RunCase{"x := 2: x + 1; x := 5;", Lines{"3", "x := 5"}},
    RunCase{"y := x + 1: x := 5: y;", Lines{"6"}},            // names evaluate when used
    RunCase{"_a := 3: _a * 2: _a;", Lines{"3"}},                // ":" shows nothing
    RunCase{"s := \"abc\"; length(s); length(\"\"); length(-123); length(_zz);",
            Lines{"s := \"abc\"", "3", "0", "3", "3"}},
    RunCase{"print(1, \"a\"); lprint(x+1); print(); 7;", Lines{"1, \"a\"", "x+1", "", "7"}},
    RunCase{"evalhf(2^(1/2)); 2^(1/2);", Lines{"1.4142135623730951", "2^(1/2)"}},
    RunCase{"Complex(1, -2); Complex(3); Complex(a, b);", Lines{"1-2*I", "3*I", "a+b*I"}},
    RunCase{"type(2+I, scalar); type(x, scalar); type(\"s\", scalar); type([1], scalar);",
            Lines{"true", "true", "false", "false"}}));

INSTANTIATE_TEST_SUITE_P(Errors, KernelEvaluates, testing::Values(
    RunCase{"foo(1);", Lines{"error(-1): `foo` is not a known function"}},
    RunCase{"evalhf(x);", Lines{"error(-1): unable to evaluate x in hardware floats"}},
    RunCase{"Re(\"a\");", Lines{"error(-1): Re expects an algebraic expression, received \"a\""}},
    RunCase{"1/0;", Lines{"error(-1): numeric exception: division by zero"}},
    RunCase{"\"a\" + 1;", Lines{"error(-1): invalid arithmetic on \"a\""}},
    RunCase{"x := x + 1;", Lines{"error(-1): recursive assignment"}},
    RunCase{"I := 2;", Lines{"error(-1): attempting to assign to `I` which is protected"}},
    RunCase{"Re(1, 2);", Lines{"error(-1): invalid input: Re expects 1 arguments, but received 2"}},
    RunCase{"x := ;", Lines{"error(5): syntax error, unexpected ;"}},
    // A computation error stops the statements after it; a syntax error runs none.
    RunCase{"a := 1; b := foo(2); c := 3; c;", Lines{"a := 1", "error(-1): `foo` is not a known function"}},
    RunCase{"d := 1; e := );", Lines{"error(13): syntax error, unexpected )"}},
    RunCase{"vinfo(1);", Lines{"error(-1): `vinfo` is not a known function"}}));

INSTANTIATE_TEST_SUITE_P(Arrays, KernelEvaluates, testing::Values(
    RunCase{"v := vector([1,2,3]): v; vectdim(v); evalm(v); v[2];", Lines{"v", "3", "vector([1, 2, 3])", "2"}},
    RunCase{"A := matrix([[1,2],[3,4]]): B := matrix(2, 2, [1,0,0,1]): C := A + B: C; evalm(C); evalm(2*A - B);",
            Lines{"A+B", "matrix([[2, 2], [3, 5]])", "matrix([[1, 4], [6, 7]])"}},
    RunCase{"A := matrix([[1,2,3],[4,5,6]]): rowdim(A); coldim(A); A[2,1]; type(A, scalar); type(A+1, scalar);",
            Lines{"2", "3", "4", "false", "false"}},
    RunCase{"M := Matrix([[1,2],[3,4]]): M + M; -M; M/2; M; type(M, Matrix);",
            Lines{"Matrix([[2, 4], [6, 8]])", "Matrix([[-1, -2], [-3, -4]])", "Matrix([[1/2, 1], [3/2, 2]])",
                  "Matrix([[1, 2], [3, 4]])", "true"}},
    RunCase{"Vector([1,2]); Vector[row](2); Array([[1,2]]); Matrix(1, 2); matrix(2, 1);",
            Lines{"Vector[column]([1, 2])", "Vector[row]([0, 0])", "Array([[1, 2]])", "Matrix([[0, 0]])",
                  "matrix([[0], [0]])"}},
    RunCase{"convert(Vector([1,2]), vector); convert([[1,2],[3,4]], matrix); convert(vector([1,2]), Matrix);"
            " convert(Vector[row]([1,2]), Matrix);",
            Lines{"vector([1, 2])", "matrix([[1, 2], [3, 4]])", "Matrix([[1], [2]])", "Matrix([[1, 2]])"}},
    RunCase{"evalhf(Matrix([[1,2]])); evalhf(matrix([[1/2]])); evalhf([1, 1/4]);",
            Lines{"Matrix([[1., 2.]], datatype = float[8])", "Array([[0.5]], datatype = float[8])", "[1., 0.25]"}},
    RunCase{"A := matrix([[1+2*I, 3]]): map(Im, A); map(Re, [1+I, 2]); zip(Complex, matrix([[1,2]]), matrix([[3,4]]));",
            Lines{"matrix([[2, 0]])", "[1, 2]", "matrix([[1+3*I, 2+4*I]])"}},
    RunCase{"S := matrix([[a, 1], [2, b]]): evalm(S + S); LinearAlgebra[Dimension](Vector([1,2,3]));",
            Lines{"matrix([[a+a, 2], [4, b+b]])", "3"}},
    RunCase{"[4,5][2]; l := [4,5]: l[3];", Lines{"5", "error(-1): invalid subscript selector"}},
    RunCase{"evalhf(matrix([[x]]));", Lines{"error(-1): unable to evaluate x in hardware floats"}},
    RunCase{"evalhf(Vector([I]));", Lines{"error(-1): a hardware-float array cannot hold the complex entry I"}},
    RunCase{"evalm(matrix([[1]]) + matrix([[1, 2]]));",
            Lines{"error(-1): arrays of different dimensions cannot be combined"}},
    RunCase{"rowdim(Vector([1]));", Lines{"error(-1): rowdim expects a matrix, received Vector[column]([1])"}},
    RunCase{"convert(\"s\", matrix);", Lines{"error(-1): unable to convert \"s\" to matrix"}}));

TEST_F(KernelSession, RestartForgetsEveryAssignment)
{
    Run("x := 1: A := matrix([[1]]):");
    session.Forget();
    EXPECT_EQ(Run("x; A;"), (Lines{"x", "A"}));
}

TEST_F(KernelSession, AnswersTheValueOfTheLastStatementOrNullAfterAnError)
{
    const Value v = session.Run("x := 2: x * 3:");
    ASSERT_TRUE(v);
    EXPECT_EQ(As<Number>(v)->re.num, 6);
    EXPECT_FALSE(session.Run("x := foo(1):"));
    EXPECT_FALSE(session.Run("x := :"));
    EXPECT_TRUE(Is<Nothing>(session.Run("")));
}

TEST_F(KernelSession, LibraryProceduresNeedTheHostLibraryOnTheLibraryPath)
{
    session.SetLibraryPath(HOST_LIBRARY_DIR "/missing");
    EXPECT_EQ(Run("isNumeric(1);"), (Lines{"error(-1): `isNumeric` is not a known function"}));
    session.SetLibraryPath(HOST_LIBRARY_DIR);
    EXPECT_EQ(Run("isNumeric(1); libname;"), (Lines{"1", "\"" HOST_LIBRARY_DIR "\""}));
}

class KernelHostLibrary : public KernelSession, public testing::WithParamInterface<RunCase> {
protected:
    void SetUp() override
    {
        session.SetLibraryPath(HOST_LIBRARY_DIR);
        Run("v := vector([1,2]): V := Vector([1,2]): A := matrix([[1,2]]): M := Matrix([[1,I]]):"
            " S := matrix([[a,1]]): E := A + A: X := Array([1]): s := \"abc\": z := 1+2*I:");
    }
};

TEST_P(KernelHostLibrary, Answers) { EXPECT_EQ(Run(GetParam().statements), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Procedures, KernelHostLibrary, testing::Values(
    RunCase{"vinfo(2.5); vinfo(z); vinfo(x+1); vinfo(v); vinfo(V); vinfo(A); vinfo(M); vinfo(s); vinfo(E);",
            Lines{"0", "0", "0", "11", "12", "20", "20", "30", "40"}},
    RunCase{"vinfo([1]); vinfo(X); vinfo(true);", Lines{"5", "5", "5"}},
    RunCase{"isNumeric(2.5); isNumeric(x); isNumeric(A); isNumeric(S); isNumeric(s); isNumeric(evalhf(M - M));",
            Lines{"1", "0", "1", "0", "0", "1"}},
    RunCase{"isComplex(z); isComplex(2.5); isComplex(M); isComplex(A); isComplex(Complex(1., 0.));",
            Lines{"1", "0", "1", "0", "1"}}));

}
}
