#include "Kernel.h"

#include "Boxes.h"
#include "State.h"

std::optional<std::string> Statement(std::size_t bufferSize, std::initializer_list<std::string_view> parts)
{
    std::string text;
    for (std::string_view part : parts)
        text += part;
    if (text.size() + 1 > bufferSize) {
        ComputationErrorBox("Name too long");
        return std::nullopt;
    }
    return text;
}

MapleValue GlobalName(const char* name) { return ToMapleName(Bridge().kernel, name, 1); }

MapleValue Evaluate(const std::string& statement)
{
    const MapleValue value = EvalMapleStatement(Bridge().kernel, statement.c_str());
    return Bridge().error ? nullptr : value;
}

namespace {

std::optional<double> Converted(MapleValue value, double (*convert)(MapleKernel, MapleValue))
{
    if (!value)
        return std::nullopt;
    const double d = convert(Bridge().kernel, value);
    return Bridge().error ? std::nullopt : std::optional<double>(d);
}

}

std::optional<double> FloatOf(MapleValue value) { return Converted(value, MapleToFloat64); }
std::optional<double> HardwareFloatOf(MapleValue value) { return Converted(value, MapleEvalhf); }
