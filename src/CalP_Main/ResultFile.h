#pragma once

#include "CalcTypes.h"
#include "Messages.h"
#include "TextFile.h"

#include <array>
#include <cstdint>
#include <string>

namespace korvane {

using TRowHistory = std::array<double, MaxRows + 1>;   // [1..MaxRows]
using TTempHistory = std::array<TVector, MaxRows + 1>; // [1..MaxRows][1..MaxNodes]

// Creates (or empties) CalcInput.SaveFileName and writes the header block.
// Shows "File can not open!" when the file cannot be created; a failure after
// that throws FileWriteError.
void WriteInputConditions(MessageSink& messages);

// Appends the block of the current zone with rows 1..RowCount. Returns false,
// after showing "Can not write result to file", when the file cannot be opened.
bool SaveZoneResult(const TRowHistory& ZHistory, const TTempHistory& TempHistory,
                    const TRowHistory& AvgHistory, std::int32_t RowCount, std::int32_t LayerCount,
                    MessageSink& messages);

// The nodes shown in the eleven temperature columns, [1..11].
std::array<std::int32_t, 12> ColumnNodesFor(std::int32_t LayerCount);

} // namespace korvane
