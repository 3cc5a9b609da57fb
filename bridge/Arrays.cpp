// Host blocks of doubles to kernel vectors and matrices, and kernel values back as
// hardware-float matrices with their dimensions.
#include "Operations.h"

#include "Boxes.h"
#include "Kernel.h"
#include "State.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

// A kernel may read a foreign data block for as long as the rtable lives, which the bridge
// cannot know: every block stays until the DLL is unloaded, after the kernel has stopped.
std::vector<std::unique_ptr<double[]>>& ForeignBlocks()
{
    static std::vector<std::unique_ptr<double[]>> blocks;
    return blocks;
}

struct Shape {
    std::int64_t first, second;
    std::size_t count;
};

bool IsWholePositive(double d) { return std::isfinite(d) && d >= 1 && d == std::trunc(d) && d < 9.0e18; }

// The dimensions as element counts, or nothing after refusing them: they must be positive whole
// numbers whose block of doubles has a size the process can address.
std::optional<Shape> CheckedShape(double first, double second)
{
    if (!IsWholePositive(first) || !IsWholePositive(second)) {
        ComputationErrorBox("Dimensions must be positive whole numbers");
        return std::nullopt;
    }
    Shape s{static_cast<std::int64_t>(first), static_cast<std::int64_t>(second), 0};
    std::size_t bytes = 0;
    if (__builtin_mul_overflow(static_cast<std::size_t>(s.first), static_cast<std::size_t>(s.second), &s.count) ||
        __builtin_mul_overflow(s.count, sizeof(double), &bytes) || bytes > static_cast<std::size_t>(PTRDIFF_MAX)) {
        ComputationErrorBox("Dimensions too large");
        return std::nullopt;
    }
    return s;
}

// A zero-filled copy of the host's block, or nothing after reporting that memory ran out.
std::unique_ptr<double[]> CopyOfBlock(const double* block, std::size_t count)
{
    std::unique_ptr<double[]> copy(new (std::nothrow) double[count]());
    if (!copy) {
        ComputationErrorBox("Not enough memory for " + std::to_string(count) + " values");
        return nullptr;
    }
    std::memcpy(copy.get(), block, count * sizeof(double));
    return copy;
}

// Wraps the block in a foreign float64 rtable of the subtype and bounds, assigns it to the name
// and converts the variable with the statement.
void PutRTable(const char* name, std::unique_ptr<double[]> data, int subtype, std::vector<int64_t> bounds,
               const std::string& statement)
{
    BridgeState& b = Bridge();
    MapleRTableSettings settings;
    RTableGetDefaults(b.kernel, &settings);
    settings.data_type = MAPLE_RT_DATA_FLOAT64;
    settings.subtype = subtype;
    settings.order = MAPLE_RT_ORDER_FORTRAN;
    settings.foreign = 1;
    settings.num_dimensions = static_cast<int32_t>(bounds.size() / 2);
    const MapleValue rtable = RTableCreate(b.kernel, &settings, data.get(), bounds.data());
    if (b.error || !rtable)
        return;
    ForeignBlocks().push_back(std::move(data));
    MapleAssign(b.kernel, GlobalName(name), rtable);
    if (!b.error)
        EvalMapleStatement(b.kernel, statement.c_str());
}

// The common steps of mpl_vecput and mpl_matput; matrix tells which of the two.
int PutArray(const char* operation, double* status, const char* name, const double* block, double first,
             double second, bool matrix)
{
    BridgeState& b = Bridge();
    b.operation = operation;
    if (MplCheck(status))
        return 1;
    const char* target = matrix ? "),matrix):" : "),vector):";
    const auto statement = Statement(ShortStatement, {name, " := convert(evalm(", name, target});
    const auto shape = statement ? CheckedShape(first, second) : std::nullopt;
    auto data = shape ? CopyOfBlock(block, shape->count) : nullptr;
    if (data) {
        const auto count = static_cast<int64_t>(shape->count);
        if (matrix)
            PutRTable(name, std::move(data), MAPLE_RT_SUBTYPE_MATRIX, {1, shape->first, 1, shape->second}, *statement);
        else
            PutRTable(name, std::move(data), shape->second == 1 ? MAPLE_RT_SUBTYPE_COLUMN : MAPLE_RT_SUBTYPE_ROW,
                      {1, count}, *statement);
    }
    *status = b.error;
    return 0;
}

int64_t UpperBound(MapleValue rtable, int32_t dimension) { return RTableUpperBound(Bridge().kernel, rtable, dimension); }

// Rows and columns of the hardware-float result by its subtype; refuses what is no matrix or
// vector.
void MeasureResult(MapleValue z, double* rows, double* cols)
{
    MapleRTableSettings settings{};
    RTableGetSettings(Bridge().kernel, &settings, z);
    double r = 0, c = 0;
    switch (settings.subtype) {
    case MAPLE_RT_SUBTYPE_ARRAY: ComputationErrorBox("A Maple array is not a matrix"); break;
    case MAPLE_RT_SUBTYPE_MATRIX: r = static_cast<double>(UpperBound(z, 1)); c = static_cast<double>(UpperBound(z, 2)); break;
    case MAPLE_RT_SUBTYPE_COLUMN: r = static_cast<double>(UpperBound(z, 1)); c = 1; break;
    case MAPLE_RT_SUBTYPE_ROW: r = 1; c = static_cast<double>(UpperBound(z, 1)); break;
    default: ComputationErrorBox("Unrecognized RTable type"); break;
    }
    *rows = r;
    *cols = c;
}

// The statement that leaves the hardware-float matrix of the part in _zz; nothing when the name
// is a scalar (rows and columns 1) or a statement failed.
std::optional<std::string> ExportStatement(const char* name, double* rows, double* cols, const double* part)
{
    BridgeState& b = Bridge();
    const auto selected = Statement(LongStatement, {*part == 1 ? "map(Im," : "map(Re,", name, "):"});
    if (!selected)
        return std::nullopt;
    if (IsMapleRTable(b.kernel, GlobalName(name)))
        return Statement(LongStatement, {"_zrc := ", *selected, "_zz := evalhf(_zrc):"});
    const auto typeQuery = Statement(LongStatement, {"type(", name, ",scalar):"});
    const MapleValue isScalar = typeQuery ? Evaluate(*typeQuery) : nullptr;
    if (!isScalar)
        return std::nullopt;
    const MapleBool scalar = MapleToM_BOOL(b.kernel, isScalar);
    if (b.error)
        return std::nullopt;
    if (scalar) {
        *rows = 1;
        *cols = 1;
        return std::nullopt;
    }
    return Statement(LongStatement,
                     {"_zrc := ", *selected, "_z1:= convert(evalm(_zrc),Matrix):", "_zz:= evalhf(_z1):"});
}

// Rows and columns of the rtable a name is assigned when it holds hardware floats in one or two
// dimensions; a vector is one column. Otherwise nothing, after refusing it.
std::optional<std::pair<int64_t, int64_t>> FloatRTableShape(MapleValue rtable)
{
    BridgeState& b = Bridge();
    if (IsMapleRTable(b.kernel, rtable)) {
        MapleRTableSettings settings{};
        RTableGetSettings(b.kernel, &settings, rtable);
        const int32_t d = RTableNumDimensions(b.kernel, rtable);
        if (!b.error && settings.data_type == MAPLE_RT_DATA_FLOAT64 && (d == 1 || d == 2))
            return std::make_pair(UpperBound(rtable, 1), d == 2 ? UpperBound(rtable, 2) : 1);
    }
    if (!b.error)
        ComputationErrorBox("Not an rtable of hardware floats");
    return std::nullopt;
}

// The entries row by row into the block, which holds rows x columns doubles: a matrix without
// rows or columns writes nothing. Stops at an entry the kernel refuses.
void CopyRowByRow(MapleValue rtable, int64_t rows, int64_t cols, double* block)
{
    BridgeState& b = Bridge();
    for (int64_t i = 1; i <= rows; ++i) {
        for (int64_t j = 1; j <= cols; ++j) {
            const int64_t index[2] = {i, j};   // a vector reads the first index only
            const double entry = RTableSelect(b.kernel, rtable, index).float64;
            if (b.error)
                return;
            *block++ = entry;
        }
    }
}

}

int VecPut(double* status, const char* name, const double* block, const double* d1, const double* d2)
{
    return PutArray("mpl_vecput", status, name, block, *d1, *d2, false);
}

int MatPut(double* status, const char* name, const double* block, const double* rows, const double* cols)
{
    return PutArray("mpl_matput", status, name, block, *rows, *cols, true);
}

int MatPutC(double* status, const char* name, const double* re, const double* im, const double* rows, const double* cols)
{
    // A put that stops (no kernel, or an earlier error not cleared) ends the call: the zip must
    // not run on what _zzreal and _zzcmplx held before.
    for (const auto& [part, block] : {std::pair{"_zzreal", re}, std::pair{"_zzcmplx", im}}) {
        if (MatPut(status, part, block, rows, cols) != 0) {
            *status = 1;
            return 0;
        }
        if (*status != 0)
            return 0;
    }
    if (const auto statement = Statement(LongStatement, {name, ":=zip(Complex,_zzreal,_zzcmplx);"}))
        EvalMapleStatement(Bridge().kernel, statement->c_str());
    *status = Bridge().error;
    return 0;
}

int MatGet(double* status, const char* name, double* block)
{
    BridgeState& b = Bridge();
    b.operation = "mpl_matget";
    if (MplCheck(status))
        return 1;
    const MapleValue rtable = GlobalName(name);
    if (const auto shape = FloatRTableShape(rtable))
        CopyRowByRow(rtable, shape->first, shape->second, block);
    *status = b.error;
    return 0;
}

int RtCreate(double* status, const char* name, double* rows, double* cols, const double* part)
{
    BridgeState& b = Bridge();
    b.operation = "mpl_rtcreate";
    if (MplCheck(status))
        return 1;
    if (const auto statement = ExportStatement(name, rows, cols, part))
        if (const MapleValue z = Evaluate(*statement))
            MeasureResult(z, rows, cols);
    *status = b.error;
    return 0;
}
