// The kernel calls the exports make, with the bridge's guards around them: statements must fit
// their fixed buffers, and a result counts only when the kernel reported no error meanwhile.
#pragma once

#include "MapleKernel.h"

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// Statement buffers of the exports, terminator included.
constexpr std::size_t ShortStatement = 128;
constexpr std::size_t LongStatement = 256;

// The parts joined, when they fit a buffer of that size with the terminator. Otherwise nothing,
// after the computation-error box "Name too long": a name is never cut.
std::optional<std::string> Statement(std::size_t bufferSize, std::initializer_list<std::string_view> parts);

MapleValue GlobalName(const char* name);
// The value of the statement's last part; null when the kernel reported an error.
MapleValue Evaluate(const std::string& statement);
// The value as a double (MapleToFloat64), or evaluated in hardware floats (MapleEvalhf); nothing
// when there is no value or the kernel reported an error.
std::optional<double> FloatOf(MapleValue value);
std::optional<double> HardwareFloatOf(MapleValue value);
