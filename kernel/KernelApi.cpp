// The C interface of the stand-in kernel over a Session. No C++ exception leaves a call: an
// error goes to the error callback and the call answers null, 0 or false.
#include "MapleKernel.h"

#include "Arrays.h"
#include "Builtins.h"
#include "Environment.h"
#include "Printer.h"
#include "Session.h"

#include <cstring>
#include <deque>

using namespace kernel;

struct MapleKernelState final : SessionOutput {
    explicit MapleKernelState(const MapleCallbackVector* cb, void* user) : data(user)
    {
        if (cb)
            callbacks = *cb;
    }

    void Text(OutputKind kind, const std::string& text) override
    {
        if (callbacks.text)
            callbacks.text(data, static_cast<int>(kind), text.c_str());
    }

    void Error(std::int32_t offset, const std::string& message) override
    {
        if (callbacks.error)
            callbacks.error(data, offset, message.c_str());
    }

    bool Interrupted() override { return callbacks.query_interrupt && callbacks.query_interrupt(data); }

    // Keeps the value alive for the caller (see MAPLE_VALUE_KEEP) and answers its handle.
    MapleValue Keep(Value v)
    {
        if (!v)
            return nullptr;
        auto* handle = reinterpret_cast<MapleValue>(const_cast<Node*>(v.get()));
        recent.push_back(std::move(v));
        if (recent.size() > MAPLE_VALUE_KEEP)
            recent.pop_front();
        return handle;
    }

    MapleCallbackVector callbacks{};
    void* data;
    Session session{*this};
    std::deque<Value> recent;
};

namespace {

Value FromHandle(MapleValue h)
{
    if (!h)
        throw ComputationError("no value given");
    return reinterpret_cast<const Node*>(h)->shared_from_this();
}

template <class R, class F> R Guarded(MapleKernel k, R fallback, F&& body)
{
    if (!k)
        return fallback;
    try {
        return body();
    } catch (const std::exception& e) {
        k->session.Report(e.what());
    } catch (...) {
        k->session.Report("internal kernel failure");
    }
    return fallback;
}

void CopyError(char* buffer, const std::string& text)
{
    if (!buffer)
        return;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(MAPLE_ERROR_TEXT_SIZE - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

// The value of a name, or the value itself.
Value Dereferenced(MapleKernel k, MapleValue h)
{
    Value v = FromHandle(h);
    if (const auto* s = As<Symbol>(v))
        if (Value stored = k->session.Assigned(s->name))
            return stored;
    return v;
}

// The rtable a handle or a name gives; the returned value keeps it alive.
Value RTableOf(MapleKernel k, MapleValue h)
{
    Value v = Dereferenced(k, h);
    const auto* a = As<ArrayData>(v);
    if (!a || a->style != ArrayStyle::RTable)
        throw ComputationError(Brief(FromHandle(h)) + " is not an rtable");
    return v;
}

const ArrayData& ArrayIn(const Value& rtable) { return *As<ArrayData>(rtable); }

Real RealOf(MapleKernel k, Value v, const char* target)
{
    if (!Is<Number>(v) && IsAlgebraic(v))
        v = HardwareFloats(k->session, v);
    const auto* n = As<Number>(v);
    if (!n || !n->IsReal())
        throw ComputationError("unable to convert " + Brief(v) + " to " + target);
    return n->re;
}

Subtype CheckedSubtype(const MapleRTableSettings& s)
{
    if (s.subtype < MAPLE_RT_SUBTYPE_ARRAY || s.subtype > MAPLE_RT_SUBTYPE_ROW)
        throw ComputationError("unknown rtable subtype " + std::to_string(s.subtype));
    const auto subtype = static_cast<Subtype>(s.subtype);
    const bool vector = subtype == Subtype::ColumnVector || subtype == Subtype::RowVector;
    if (s.num_dimensions < 1 || s.num_dimensions > 2 || (vector && s.num_dimensions != 1) ||
        (subtype == Subtype::Matrix && s.num_dimensions != 2))
        throw ComputationError("rtable dimensions do not suit the subtype");
    return subtype;
}

std::vector<Bounds> CheckedBounds(int dimensions, const std::int64_t bounds[], std::size_t& count)
{
    if (!bounds)
        throw ComputationError("rtable bounds missing");
    std::vector<Bounds> result;
    count = 1;
    for (int d = 0; d < dimensions; ++d) {
        const Bounds b{bounds[2 * d], bounds[2 * d + 1]};
        if (b.upper < b.lower - 1 || __builtin_mul_overflow(count, static_cast<std::size_t>(b.Size()), &count) ||
            count > SIZE_MAX / sizeof(double))
            throw ComputationError("invalid rtable bounds");
        result.push_back(b);
    }
    return result;
}

// Float64 rtables take the caller's block as it is (foreign) or a copy of it; other rtables start
// with the fill value in every entry.
Value NewRTable(const MapleRTableSettings& s, void* data, const std::int64_t bounds[])
{
    ArrayData a;
    a.subtype = CheckedSubtype(s);
    std::size_t count = 0;
    a.bounds = CheckedBounds(s.num_dimensions, bounds, count);
    if (s.data_type == MAPLE_RT_DATA_ANYTHING && !data) {
        a.entries.assign(count, s.fill == 0 ? MakeInteger(0) : MakeFloat(s.fill));
        return MakeArray(std::move(a));
    }
    if (s.data_type != MAPLE_RT_DATA_FLOAT64)
        throw ComputationError("this kernel makes rtables of hardware floats, or of values without data");
    a.dataType = DataType::Float64;
    a.rowMajor = s.order == MAPLE_RT_ORDER_C;
    a.foreign = s.foreign != 0;
    const auto* given = static_cast<const double*>(data);
    if (a.foreign) {
        if (!given && count)
            throw ComputationError("a foreign rtable needs its data block");
        a.floats = given;
        return MakeArray(std::move(a));
    }
    auto block = std::make_shared<std::vector<double>>(count, s.fill);
    if (given)
        std::copy(given, given + count, block->begin());
    a.floats = block->data();
    a.owned = std::move(block);
    return MakeArray(std::move(a));
}

}

extern "C" {

MapleKernel StartMaple(int, char*[], const MapleCallbackVector* callbacks, void* user_data, void*, char* error_text)
{
    try {
        const std::string refusal = EnvironmentValue("STANDIN_KERNEL_START_ERROR");
        if (!refusal.empty()) {
            CopyError(error_text, refusal);
            return nullptr;
        }
        return new MapleKernelState(callbacks, user_data);
    } catch (const std::exception& e) {
        CopyError(error_text, e.what());
        return nullptr;
    }
}

void StopMaple(MapleKernel kernel) { delete kernel; }

MapleBool RestartMaple(MapleKernel kernel, char* error_text)
{
    return Guarded<MapleBool>(kernel, 0, [&] {
        const std::string refusal = EnvironmentValue("STANDIN_KERNEL_RESTART_ERROR");
        if (!refusal.empty()) {
            CopyError(error_text, refusal);
            return 0;
        }
        kernel->session.Forget();
        return 1;
    });
}

MapleValue EvalMapleStatement(MapleKernel kernel, const char* statement)
{
    return Guarded<MapleValue>(kernel, nullptr, [&] {
        return kernel->Keep(kernel->session.Run(statement ? statement : ""));
    });
}

MapleValue MapleEval(MapleKernel kernel, MapleValue value)
{
    return Guarded<MapleValue>(kernel, nullptr, [&] {
        return kernel->Keep(kernel->session.Resolve(kernel->session.Evaluate(FromHandle(value))));
    });
}

double MapleEvalhf(MapleKernel kernel, MapleValue value)
{
    return Guarded<double>(kernel, 0, [&] {
        return RealOf(kernel, kernel->session.Evaluate(FromHandle(value)), "a hardware float").ToDouble();
    });
}

MapleValue ToMapleName(MapleKernel kernel, const char* name, MapleBool)
{
    return Guarded<MapleValue>(kernel, nullptr, [&] { return kernel->Keep(MakeSymbol(name ? name : "")); });
}

MapleValue ToMapleString(MapleKernel kernel, const char* text)
{
    return Guarded<MapleValue>(kernel, nullptr, [&] { return kernel->Keep(MakeText(text ? text : "")); });
}

MapleValue ToMapleFloat(MapleKernel kernel, double value)
{
    return Guarded<MapleValue>(kernel, nullptr, [&] { return kernel->Keep(MakeFloat(value)); });
}

MapleValue ToMapleComplex(MapleKernel kernel, double re, double im)
{
    return Guarded<MapleValue>(kernel, nullptr, [&] {
        return kernel->Keep(MakeNumber({Real::Flt(re), Real::Flt(im)}));
    });
}

MapleValue MapleAssign(MapleKernel kernel, MapleValue name, MapleValue value)
{
    return Guarded<MapleValue>(kernel, nullptr, [&] {
        const auto* s = As<Symbol>(FromHandle(name));
        if (!s)
            throw ComputationError("cannot assign to " + Brief(FromHandle(name)));
        kernel->session.Assign(s->name, FromHandle(value));
        return value;
    });
}

MapleValue MapleLibName(MapleKernel kernel, MapleValue path)
{
    return Guarded<MapleValue>(kernel, nullptr, [&] {
        if (path) {
            const auto* t = As<Text>(FromHandle(path));
            if (!t)
                throw ComputationError("the library path must be a string");
            kernel->session.SetLibraryPath(t->text);
        }
        return kernel->Keep(MakeText(kernel->session.LibraryPath()));
    });
}

const char* MapleToString(MapleKernel kernel, MapleValue value)
{
    return Guarded<const char*>(kernel, nullptr, [&] {
        const auto* t = As<Text>(FromHandle(value));
        if (!t)
            throw ComputationError(Brief(FromHandle(value)) + " is not a string");
        return t->text.c_str();
    });
}

double MapleToFloat64(MapleKernel kernel, MapleValue value)
{
    return Guarded<double>(kernel, 0, [&] { return RealOf(kernel, FromHandle(value), "a float").ToDouble(); });
}

int16_t MapleToInteger16(MapleKernel kernel, MapleValue value)
{
    return Guarded<int16_t>(kernel, 0, [&] {
        const Value v = FromHandle(value);
        const auto* n = As<Number>(v);
        const double d = n && n->IsReal() ? n->re.ToDouble() : 0.5;
        if (!n || !n->IsReal() || n->re.type == Real::Type::Fraction || d != static_cast<double>(static_cast<std::int64_t>(d)) ||
            d < INT16_MIN || d > INT16_MAX)
            throw ComputationError("unable to convert " + Brief(v) + " to a 16-bit integer");
        return static_cast<int16_t>(d);
    });
}

MapleBool MapleToM_BOOL(MapleKernel kernel, MapleValue value)
{
    return Guarded<MapleBool>(kernel, 0, [&] {
        const auto* b = As<Boolean>(FromHandle(value));
        if (!b)
            throw ComputationError(Brief(FromHandle(value)) + " is not true or false");
        return b->value ? 1 : 0;
    });
}

void RTableGetDefaults(MapleKernel kernel, MapleRTableSettings* settings)
{
    if (!kernel || !settings)
        return;
    *settings = MapleRTableSettings{};
    settings->num_dimensions = 1;
    settings->data_type = MAPLE_RT_DATA_ANYTHING;
    settings->subtype = MAPLE_RT_SUBTYPE_ARRAY;
    settings->order = MAPLE_RT_ORDER_FORTRAN;
}

MapleValue RTableCreate(MapleKernel kernel, const MapleRTableSettings* settings, void* data, const int64_t bounds[])
{
    return Guarded<MapleValue>(kernel, nullptr, [&] {
        if (!settings)
            throw ComputationError("rtable settings missing");
        return kernel->Keep(NewRTable(*settings, data, bounds));
    });
}

void RTableGetSettings(MapleKernel kernel, MapleRTableSettings* settings, MapleValue rtable)
{
    Guarded<int>(kernel, 0, [&] {
        const Value rt = RTableOf(kernel, rtable);
        const ArrayData& a = ArrayIn(rt);
        if (!settings)
            return 0;
        *settings = MapleRTableSettings{};
        settings->num_dimensions = a.Dimensions();
        settings->data_type = static_cast<int32_t>(a.dataType);
        settings->subtype = static_cast<int32_t>(a.subtype);
        settings->order = a.rowMajor ? MAPLE_RT_ORDER_C : MAPLE_RT_ORDER_FORTRAN;
        settings->foreign = a.foreign ? 1 : 0;
        return 0;
    });
}

int32_t RTableNumDimensions(MapleKernel kernel, MapleValue rtable)
{
    return Guarded<int32_t>(kernel, 0, [&] { return ArrayIn(RTableOf(kernel, rtable)).Dimensions(); });
}

int64_t RTableUpperBound(MapleKernel kernel, MapleValue rtable, int32_t dimension)
{
    return Guarded<int64_t>(kernel, 0, [&] {
        const Value rt = RTableOf(kernel, rtable);
        const ArrayData& a = ArrayIn(rt);
        if (dimension < 1 || dimension > a.Dimensions())
            throw ComputationError("the rtable has no dimension " + std::to_string(dimension));
        return a.bounds[static_cast<std::size_t>(dimension - 1)].upper;
    });
}

MapleRTableEntry RTableSelect(MapleKernel kernel, MapleValue rtable, const int64_t index[])
{
    MapleRTableEntry none{};
    return Guarded<MapleRTableEntry>(kernel, none, [&] {
        const Value rt = RTableOf(kernel, rtable);
        const ArrayData& a = ArrayIn(rt);
        if (!index)
            throw ComputationError("rtable index missing");
        const std::vector<std::int64_t> at(index, index + a.Dimensions());
        MapleRTableEntry entry{};
        if (a.dataType == DataType::Float64)
            entry.float64 = a.FloatAt(at);
        else
            entry.value = kernel->Keep(a.At(at));
        return entry;
    });
}

MapleBool IsMapleRTable(MapleKernel kernel, MapleValue value)
{
    return Guarded<MapleBool>(kernel, 0, [&] {
        const auto* a = As<ArrayData>(Dereferenced(kernel, value));
        return a && a->style == ArrayStyle::RTable ? 1 : 0;
    });
}

}
